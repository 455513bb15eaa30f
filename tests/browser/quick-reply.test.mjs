// The quick reply as a person meets it in the browser: an SMS's banner with
// Parlivo's messages icon, a click that opens the reply panel under the
// status bar (y 44) with the message, the phone turned to landscape and back,
// the panel closed; then the same from a notification-centre row, and from
// the lock screen, where the panel sits at y 22 above the locked phone.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, screenshot, hasParlivo, step } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

// Waits until a named view is drawn `y` points below the top of the screen
// (the phone upright); the panel may still be sliding into place.
async function expectTop(name, y) {
    const place = () =>
        page.evaluate((name) => {
            const screen = document.querySelector('#screen').getBoundingClientRect();
            const node = document.querySelector(`#screen [data-name="${name}"]`);
            return node ? Math.round(node.getBoundingClientRect().top - screen.top) : null;
        }, name);
    const deadline = Date.now() + 5000;
    let top = await place();
    while (top !== y && Date.now() < deadline) {
        await page.waitForTimeout(50);
        top = await place();
    }
    assert.equal(top, y, `${name} is drawn at y ${top}`);
}

async function receive(from, text) {
    await page.locator('#receive-form input[value="sms"]').check();
    await page.locator('#receive-from').fill(from);
    await page.locator('#receive-text').fill(text);
    await page.locator('#receive-button').click();
    await page.locator('#messages-table tbody tr', { hasText: text }).first().waitFor({ timeout: 5000 });
}

async function replyPanelShows(text) {
    await page.locator('#screen [data-name="messageField"]', { hasText: text }).waitFor({ timeout: 5000 });
    await view(page, 'sendButton').waitFor();
    await view(page, 'closeButton').waitFor();
}

async function closeReplyPanel() {
    await view(page, 'closeButton').click();
    await page.locator('#screen [data-name="alertWindow"]').waitFor({ state: 'detached', timeout: 5000 });
}

async function turnAndBack() {
    await page.locator('#orientation-buttons [data-orientation="3"]').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 3);
    await view(page, 'messageField').waitFor();
    await page.locator('#orientation-buttons [data-orientation="1"]').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 1);
}

test('from the banner: the messages icon, the panel at y 44, turned and closed', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await receive('+393471234567', 'Sei già uscito?');
    const icon = page.locator('#screen [data-name="parlivoBannerIcon"] img');
    await icon.waitFor({ timeout: 5000 });
    assert.match(await icon.getAttribute('src'), /\/device\/Library\/Application%20Support\/PLV\/sms\.png$/);
    assert.ok(await icon.evaluate((img) => img.complete && img.naturalWidth > 0), 'the icon picture loads');
    await screenshot(page, 'quick-reply-banner');

    await view(page, 'banner').click();
    await replyPanelShows('Sei già uscito?');
    await expectTop('bgView', 44);
    await screenshot(page, 'quick-reply-open');

    await turnAndBack();
    await expectTop('bgView', 44);
    await closeReplyPanel();
});

test('from a notification-centre row: the same panel', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await receive('+393381112222', 'Dal centro notifiche');
    await page.locator('#controls button[data-step="open_notification_center"]').click();
    await waitForPhone(page, (screen) => screen.springboard.notificationCenter.open);
    await page.locator('#nc-rows li', { hasText: 'Dal centro notifiche' }).first().getByRole('button').click();
    await replyPanelShows('Dal centro notifiche');
    await expectTop('bgView', 44);
    await turnAndBack();
    await closeReplyPanel();
});

test('from the lock screen: the panel at y 22 above the locked phone', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#controls button[data-step="lock"]').click();
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await receive('+393471234567', 'Dalla schermata di blocco');
    await page.locator('#lock-rows li', { hasText: 'Dalla schermata di blocco' }).first().getByRole('button').click();
    await replyPanelShows('Dalla schermata di blocco');
    await expectTop('bgView', 22);
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await screenshot(page, 'quick-reply-lock-screen');
    await turnAndBack();
    await closeReplyPanel();
});

test('a typical reply: Reply, the keyboard, typed keys and Send put the answer in sms.db', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#unlock-button').click();
    await waitForPhone(page, (screen) => !screen.springboard.locked);
    await receive('+393471234567', 'Ci vediamo dopo?');
    await view(page, 'banner').click();
    await replyPanelShows('Ci vediamo dopo?');

    await view(page, 'sendButton').click();
    await view(page, 'keyboard').waitFor({ timeout: 5000 });
    await view(page, 'replyField').waitFor();
    await page.keyboard.type('Arrivo tra 5');
    await page.keyboard.press('Backspace');
    await page.keyboard.type('10 minuti!');
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Arrivo tra 10 minuti!' }).waitFor({ timeout: 5000 });
    await page.locator('#screen [data-name="contatore"]', { hasText: '21' }).waitFor({ timeout: 5000 });
    await screenshot(page, 'quick-reply-typing');

    await view(page, 'sendButton').click();
    const sent = page.locator('#messages-table tbody tr.outgoing', { hasText: 'Arrivo tra 10 minuti!' });
    await sent.waitFor({ timeout: 5000 });
    assert.match(await sent.textContent(), /\+393471234567/);
    await page.locator('#screen [data-name="alertWindow"]').waitFor({ state: 'detached', timeout: 5000 });
});

// What the browser inserts without a character's keydown (letters outside
// the US layout, an emoji, an input method's composed word) reaches the phone
// once, in order with the plain keys around it, and so does plain typing.
test('accents, an emoji and a composed word reach the sent SMS exactly once', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await receive('+393471234567', 'Quando ci vediamo?');
    await view(page, 'banner').click();
    await replyPanelShows('Quando ci vediamo?');
    await view(page, 'sendButton').click();
    await view(page, 'keyboard').waitFor({ timeout: 5000 });
    const field = () => page.locator('#screen [data-name="replyField"]').textContent();

    await page.keyboard.type('Ok, ');
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Ok,' }).waitFor({ timeout: 5000 });
    await page.waitForFunction(() => window.plv.pendingSteps === 0);
    assert.equal((await field()).trim(), 'Ok,', 'plain keys arrive once');

    await page.keyboard.type('Venerdì è già ok 😀');
    // An input method's drafts are not typed; the word it commits is, once.
    const ime = await page.context().newCDPSession(page);
    await ime.send('Input.imeSetComposition', { text: ' p', selectionStart: 2, selectionEnd: 2 });
    await ime.send('Input.imeSetComposition', { text: ' pe', selectionStart: 3, selectionEnd: 3 });
    await ime.send('Input.insertText', { text: ' però' });
    const expected = 'Ok, Venerdì è già ok 😀 però';
    await page.locator('#screen [data-name="replyField"]', { hasText: expected }).waitFor({ timeout: 5000 });
    await page.waitForFunction(() => window.plv.pendingSteps === 0);

    await view(page, 'sendButton').click();
    await page.locator('#messages-table tbody tr.outgoing', { hasText: expected }).first().waitFor({ timeout: 5000 });
    const { output } = await step(page, { step: 'dump' });
    const sent = output.messages.filter((message) => message.outgoing && message.address === '+393471234567');
    assert.equal(sent.at(-1).text, expected);
    await page.locator('#screen [data-name="alertWindow"]').waitFor({ state: 'detached', timeout: 5000 });
});
