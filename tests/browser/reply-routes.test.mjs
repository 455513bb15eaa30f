// The other ways a reply goes out, as a person takes them in the browser: an
// iMessage answered with a picture attached from the edit menu, the system's
// message composer when the settings ask for it, and a received picture
// previewed from the paper clip.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, step, screenshot, hasParlivo } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

async function receive(kind, from, text, picture = '') {
    await page.locator(`#receive-form input[value="${kind}"]`).check();
    await page.locator('#receive-from').fill(from);
    await page.locator('#receive-text').fill(text);
    if (kind === 'imessage') await page.locator('#receive-picture').selectOption(picture);
    await page.locator('#receive-button').click();
    await page.locator('#messages-table tbody tr', { hasText: text }).first().waitFor({ timeout: 5000 });
}

// What the settings application does when a switch changes.
async function setPreference(key, value) {
    const answer = await step(page, { step: 'write_preference', key, value });
    assert.equal(answer.status, 200, JSON.stringify(answer));
}

async function openReplyFromBanner(text) {
    await view(page, 'banner').click();
    await page.locator('#screen [data-name="messageField"]', { hasText: text }).waitFor({ timeout: 5000 });
}

async function closed() {
    await page.locator('#screen [data-name="alertWindow"]').waitFor({ state: 'detached', timeout: 5000 });
}

async function clickScreenAt(x, y) {
    const screen = await page.locator('#screen').boundingBox();
    await page.mouse.click(screen.x + x, screen.y + y);
}

test('an iMessage answered with a picture from the photo library', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await setPreference('builtinSMS', '0');
    await receive('imessage', '+393337654321', 'Dove sei? Mandami una foto');
    await openReplyFromBanner('Dove sei? Mandami una foto');
    await view(page, 'sendButton').click();
    await view(page, 'replyField').waitFor({ timeout: 5000 });
    await page.keyboard.type('Sono qui, guarda!');
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Sono qui, guarda!' }).waitFor({ timeout: 5000 });

    // A finger held on the reply opens the edit menu.
    const reply = await view(page, 'replyField').boundingBox();
    await page.mouse.move(reply.x + 40, reply.y + 20);
    await page.mouse.down();
    await page.waitForTimeout(650);
    await page.mouse.up();
    const attach = page.locator('#screen .hold-menu button', { hasText: 'Attach picture' });
    await attach.waitFor({ timeout: 5000 });
    await screenshot(page, 'reply-edit-menu');
    await attach.click();
    await page.locator('#screen', { hasText: 'Photos' }).waitFor({ timeout: 5000 });
    await clickScreenAt(160, 101);
    await view(page, 'attachmentButton').waitFor({ timeout: 5000 });
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Sono qui, guarda!' }).waitFor();
    await screenshot(page, 'reply-with-picture');

    await view(page, 'sendButton').click();
    const sent = page.locator('#messages-table tbody tr.outgoing', { hasText: 'Sono qui, guarda!' });
    await sent.waitFor({ timeout: 5000 });
    assert.match(await sent.textContent(), /iMessage/);
    await closed();
});

test('with the system composer chosen, Reply opens it addressed to the sender; Cancel closes everything', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await setPreference('builtinSMS', '1');
    await receive('sms', '+393381112222', 'Riunione spostata alle 10');
    await openReplyFromBanner('Riunione spostata alle 10');
    await view(page, 'sendButton').click();
    const recipients = page.locator('#screen [data-name="composeRecipientsField"]');
    await recipients.waitFor({ timeout: 5000 });
    assert.match(await recipients.textContent(), /\+393381112222/);
    await waitForPhone(page, (screen) => screen.springboard.banner === null);
    await screenshot(page, 'reply-system-composer');
    await view(page, 'composeCancelButton').click();
    await page.locator('#screen [data-name="composeView"]').waitFor({ state: 'detached', timeout: 5000 });
    await closed();
    await setPreference('builtinSMS', '0');
});

test('a received picture previewed from the paper clip', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await receive('imessage', '+393337654321', 'Guarda dove sono!', 'IMG_0002.JPG');
    await openReplyFromBanner('Guarda dove sono!');
    await view(page, 'attachmentButton').click();
    const picture = page.locator('#screen [data-name="previewImageView"] img');
    await picture.waitFor({ timeout: 5000 });
    // The page redraws the screen as it changes, so the picture is looked up
    // afresh until one has loaded.
    const loaded = await page
        .waitForFunction(
            () => {
                const img = document.querySelector('#screen [data-name="previewImageView"] img');
                return img && img.complete && img.naturalWidth > 0;
            },
            null,
            { timeout: 5000 },
        )
        .then(() => true, () => false);
    assert.ok(loaded, 'the picture loads');
    await screenshot(page, 'reply-preview');
    const done = await view(page, 'previewDoneButton').boundingBox();
    await page.mouse.click(done.x + done.width / 2, done.y + done.height - 3);
    await page.locator('#screen [data-name="previewView"]').waitFor({ state: 'detached', timeout: 5000 });
    await view(page, 'messageField').waitFor();
    await view(page, 'closeButton').click();
    await closed();
});
