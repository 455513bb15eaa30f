// A phone that loads Parlivo and Rendalo together: both hook the same
// SpringBoard methods, and the one loaded later (Rendalo, by file name)
// answers the banner first. Nothing crashes and every reply arrives.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, view, hasParlivo, hasRendalo, screenshot } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened), { extensions: 'parlivo,rendalo' });

async function receive(kind, from, text, subject = '') {
    await page.locator(`#receive-form input[value="${kind}"]`).check();
    await page.locator('#receive-from').fill(from);
    if (kind === 'mail') await page.locator('#receive-subject').fill(subject);
    await page.locator('#receive-text').fill(text);
    await page.locator('#receive-button').click();
}

async function answerFromBanner(text, reply) {
    await view(page, 'banner').click();
    await page.locator('#screen [data-name="messageField"]', { hasText: text }).waitFor({ timeout: 5000 });
    await view(page, 'sendButton').click();
    await view(page, 'replyField').waitFor({ timeout: 5000 });
    await page.keyboard.type(reply);
    await page.locator('#screen [data-name="replyField"]', { hasText: reply }).waitFor({ timeout: 5000 });
    await view(page, 'sendButton').click();
    await page.waitForFunction(() => !document.querySelector('#screen [data-name="messageField"]'), null, { timeout: 5000 });
}

test('an SMS and an e-mail are both answered with both libraries loaded', async (t) => {
    if (!hasParlivo(simulator) || !hasRendalo(simulator)) return t.skip('Parlivo and Rendalo are not both built');
    const status = await page.evaluate(async () => (await fetch('/api/extensions')).json());
    assert.deepEqual(status.chosen, ['parlivo', 'rendalo']);

    await receive('sms', '+393471234567', 'Ci vediamo?');
    await answerFromBanner('Ci vediamo?', 'Va bene');
    await page.locator('#messages-table tbody tr.outgoing', { hasText: 'Va bene' }).waitFor({ timeout: 5000 });

    await receive('mail', 'giulia@example.com', 'Hai letto il documento?', 'Documento');
    await answerFromBanner('Hai letto il documento?', 'Tutto chiaro, grazie');
    await page.locator('#outbox-list article', { hasText: 'Tutto chiaro, grazie' }).waitFor({ timeout: 5000 });
    await screenshot(page, 'both-extensions');
});

test('the extensions control reboots the phone with another choice', async (t) => {
    if (!hasParlivo(simulator) || !hasRendalo(simulator)) return t.skip('Parlivo and Rendalo are not both built');
    await page.locator('#extensions-form').evaluate((form) => form.closest('details').setAttribute('open', ''));
    await page.locator('#extensions-choice input[value="rendalo"]').uncheck();
    await Promise.all([page.waitForEvent('load', { timeout: 30000 }), page.locator('#extensions-reboot').click()]);
    await page.waitForFunction(() => window.plv && window.plv.screen, null, { timeout: 30000 });
    const status = await page.evaluate(async () => (await fetch('/api/extensions')).json());
    assert.deepEqual(status.chosen, ['parlivo']);
    assert.equal(hasRendalo(simulator), false);
});
