// Who has the computer's keyboard. A person receives an SMS from the side
// panel, clicks the banner on the phone and types a reply on the computer's
// keyboard before anything on the phone is editing: the keys must not reach
// the "Receive" button that was pressed last (each space would receive the
// SMS again); they go nowhere and the status line says so.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, screenshot } from './harness.mjs';

let page;
usePhone((opened) => ({ page } = opened));

const messageCount = () => page.evaluate(() => window.plv.panels.messages.length);
const owner = () => page.evaluate(() => document.body.dataset.keyboard);

test('the page loads with no console error', async () => {
    // Give late failures (pictures, the event stream) a moment to show.
    await page.waitForTimeout(500);
    assert.deepEqual(page.consoleErrors, []);
    assert.equal(await owner(), 'page');
    assert.match(await page.locator('#keyboard-owner').textContent(), /page/);
});

test('typing after a click on the banner receives no second SMS', async () => {
    const before = await messageCount();
    await page.locator('#receive-form input[value="sms"]').check();
    await page.locator('#receive-from').fill('+393471234567');
    await page.locator('#receive-text').fill('Dove sei?');
    await page.locator('#receive-button').click();
    await waitForPhone(page, (screen, panels, before) => panels.messages.length === before + 1, before);
    assert.equal(await owner(), 'page', 'the side panel has the keyboard after its button');

    await view(page, 'banner').click();
    assert.equal(await owner(), 'phone');
    assert.match(await page.locator('#keyboard-owner').textContent(), /phone/);
    const editing = await page.evaluate(() => window.plv.screen.snapshot.keyboard.visible);
    assert.equal(editing, false, 'the phone edits nothing yet');

    await page.keyboard.type('Arrivo tra poco!');
    await page.keyboard.press('Enter');
    await page.locator('#step-status', { hasText: 'nothing is being edited' }).waitFor({ timeout: 5000 });
    // Anything the keys might have sent has had its time to arrive.
    await page.waitForTimeout(500);
    await page.waitForFunction(() => window.plv.pendingSteps === 0);
    assert.equal(await messageCount(), before + 1, 'exactly one new SMS');
    assert.equal(await page.locator('#receive-text').inputValue(), 'Dove sei?', 'no key reached the side panel');
    await screenshot(page, 'focus-keys-nowhere');
});

test('while a field edits the keys type on the phone, and a side-panel field takes them back', async () => {
    await page.locator('#receive-text').click();
    assert.equal(await owner(), 'page');
    await page.keyboard.type(' ok');
    assert.equal(await page.locator('#receive-text').inputValue(), 'Dove sei? ok');

    // The reply panel's Reply starts the editing (a phone built without
    // Parlivo shows no panel, and has nothing more to check here).
    const reply = view(page, 'sendButton');
    if ((await reply.count()) === 0) return;
    await reply.click();
    await waitForPhone(page, (screen) => screen.snapshot.keyboard.visible);
    assert.equal(await owner(), 'phone');
    await page.keyboard.type('Arrivo tra poco!');
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Arrivo tra poco!' }).waitFor({ timeout: 5000 });
    // Space and Enter never press the Receive button while the phone has the keys.
    const before = await messageCount();
    await page.keyboard.press('Escape');
    assert.equal(await owner(), 'page');
    await page.waitForFunction(() => window.plv.pendingSteps === 0);
    assert.equal(await messageCount(), before);
});
