// Rendalo's journeys on a phone that loads it alone: an e-mail answered from
// its banner, an SMS answered as Parlivo answers it, and a second SMS that
// arrives while the panel is open.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, view, step, screenshot, hasRendalo } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened), { extensions: 'rendalo' });

async function receive(kind, from, text, subject = '') {
    await page.locator(`#receive-form input[value="${kind}"]`).check();
    await page.locator('#receive-from').fill(from);
    if (kind === 'mail') await page.locator('#receive-subject').fill(subject);
    await page.locator('#receive-text').fill(text);
    await page.locator('#receive-button').click();
}

async function openReplyFromBanner(text) {
    await view(page, 'banner').click();
    await page.locator('#screen [data-name="messageField"]', { hasText: text }).waitFor({ timeout: 5000 });
}

async function typeReply(text) {
    await view(page, 'sendButton').click();
    await view(page, 'replyField').waitFor({ timeout: 5000 });
    await page.keyboard.type(text);
    await page.locator('#screen [data-name="replyField"]', { hasText: text }).waitFor({ timeout: 5000 });
}

async function closed() {
    await page.waitForFunction(() => !document.querySelector('#screen [data-name="messageField"]'), null, { timeout: 5000 });
}

test('an e-mail is answered from its banner and leaves as a mail to its sender', async (t) => {
    if (!hasRendalo(simulator)) return t.skip('Rendalo is not built');
    await receive('mail', 'giulia@example.com', 'Ci sei domani a pranzo?', 'Pranzo');
    await openReplyFromBanner('Ci sei domani a pranzo?');
    await typeReply('Certo, alle 13');
    await screenshot(page, 'rendalo-mail-reply');
    await view(page, 'sendButton').click();

    const mail = page.locator('#outbox-list article', { hasText: 'Certo, alle 13' });
    await mail.waitFor({ timeout: 5000 });
    const head = await mail.locator('header').textContent();
    assert.match(head, /^RE — to giulia@example\.com$/);
    await closed();
});

test('an SMS is answered in the panel and lands in sms.db', async (t) => {
    if (!hasRendalo(simulator)) return t.skip('Rendalo is not built');
    await receive('sms', '+393471234567', 'Passi tu a prendermi?');
    await openReplyFromBanner('Passi tu a prendermi?');
    await typeReply('Va bene, alle 8');
    await view(page, 'sendButton').click();
    await page.locator('#messages-table tbody tr.outgoing', { hasText: 'Va bene, alle 8' }).waitFor({ timeout: 5000 });
    await closed();
});

test('a second SMS while the panel is open does not replace the message answered', async (t) => {
    if (!hasRendalo(simulator)) return t.skip('Rendalo is not built');
    await receive('sms', '+393471234567', 'Prima domanda');
    await openReplyFromBanner('Prima domanda');
    const answer = await step(page, { step: 'receive_sms', from: '+393339998888', text: 'Seconda domanda' });
    assert.equal(answer.status, 200, JSON.stringify(answer));
    await typeReply('Risposta alla prima');
    assert.equal(await view(page, 'messageField').textContent(), 'Prima domanda');
    await view(page, 'sendButton').click();
    const sent = page.locator('#messages-table tbody tr.outgoing', { hasText: 'Risposta alla prima' });
    await sent.waitFor({ timeout: 5000 });
    assert.match(await sent.textContent(), /\+393471234567/);
    await closed();
});
