// A person's first minutes with the web UI: an SMS arrives from the side
// panel, its banner comes down, a click on it opens what the phone opens
// (with Parlivo installed, the quick reply window), then the phone turns and
// is locked.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, screenshot, hasParlivo } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

test('the page draws the phone: status bar, home screen, the applications from the server', async () => {
    await page.locator('#screen [data-name="statusBar"] [data-name="statusBarTime"]').waitFor({ timeout: 5000 });
    await page.locator('#screen [data-name="homeScreen"] [data-name="icon-com.apple.MobileSMS"]').waitFor({ timeout: 5000 });
    const screen = await page.locator('#screen').boundingBox();
    assert.equal(Math.round(screen.width), 320);
    assert.equal(Math.round(screen.height), 480);
    const apps = await page.locator('#app-buttons button').evaluateAll((buttons) => buttons.map((button) => button.dataset.bundle));
    assert.ok(apps.includes('com.apple.MobileSMS'), apps.join(', '));
    assert.ok(apps.includes('com.apple.mobilemail'), apps.join(', '));
    assert.ok((await page.locator('#messages-table tbody tr').count()) > 0, 'the seeded messages are listed');
});

test('an SMS from the side panel brings the banner; a click on it opens the reply', async () => {
    await page.locator('#receive-from').fill('+393471234567');
    await page.locator('#receive-text').fill('Sei già uscito?');
    await page.locator('#receive-button').click();

    const banner = view(page, 'banner');
    await banner.waitFor({ timeout: 5000 });
    await assert.doesNotReject(page.locator('#screen [data-name="bannerMessage"]', { hasText: 'Sei già uscito?' }).waitFor({ timeout: 5000 }));
    await page.locator('#messages-table tbody tr', { hasText: 'Sei già uscito?' }).first().waitFor({ timeout: 5000 });
    await screenshot(page, 'journey-banner');

    await banner.click();
    if (hasParlivo(simulator)) {
        await view(page, 'messageField').waitFor({ timeout: 5000 });
        await page.locator('#screen [data-name="messageField"]', { hasText: 'Sei già uscito?' }).waitFor({ timeout: 5000 });
        await view(page, 'sendButton').waitFor();
        await view(page, 'closeButton').waitFor();
    } else {
        await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.MobileSMS');
    }
    await screenshot(page, 'journey-opened');
});

test('the phone turns with the rotate control and back', async () => {
    await page.locator('#rotate-left').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 3);
    await page.waitForFunction(() => {
        const phone = document.querySelector('#phone').getBoundingClientRect();
        return phone.width > phone.height;
    });
    // The page turns the phone in a third of a second.
    await page.waitForTimeout(400);
    await screenshot(page, 'journey-landscape');
    await page.locator('#orientation-buttons [data-orientation="1"]').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 1);
    await page.waitForFunction(() => {
        const phone = document.querySelector('#phone').getBoundingClientRect();
        return phone.height > phone.width;
    });
});

test('lock from the side panel shows the lock screen; unlock slides it away', async () => {
    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#controls button[data-step="lock"]').click();
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await page.locator('#screen [data-name="lockScreen"]').waitFor({ state: 'attached', timeout: 5000 });
    await page.locator('#unlock-button').click();
    await waitForPhone(page, (screen) => !screen.springboard.locked);
    await screenshot(page, 'journey-unlocked');
});

test('a step the phone refuses is told on the page and changes nothing', async () => {
    const before = await page.evaluate(() => window.plv.screenGeneration);
    await page.locator('#controls button[data-step="open_notification_center"]').click();
    await waitForPhone(page, (screen) => screen.springboard.notificationCenter.open);
    await page.locator('#controls button[data-step="open_notification_center"]').click();
    await page.locator('#step-status[data-state="error"]').waitFor({ timeout: 5000 });
    assert.match(await page.locator('#step-status').textContent(), /already open/);
    assert.ok((await page.evaluate(() => window.plv.screenGeneration)) > before);
});

test('a fast drag is a swipe with its velocity: a flick on the unlock slider unlocks', async () => {
    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#controls button[data-step="lock"]').click();
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await page.locator('#controls button[data-step="home"]').click();
    await waitForPhone(page, (screen) => !screen.springboard.dimmed);

    const swipes = [];
    page.on('request', (request) => {
        if (request.url().endsWith('/api/step') && request.postDataJSON()?.step === 'swipe') swipes.push(request.postDataJSON());
    });
    const screen = await page.locator('#screen').boundingBox();
    // Upwards first: nothing takes it here, but it must reach the phone as a
    // swipe with a fast upward velocity.
    await page.mouse.move(screen.x + 160, screen.y + 300);
    await page.mouse.down();
    await page.mouse.move(screen.x + 160, screen.y + 200, { steps: 4 });
    await page.mouse.up();
    await page.mouse.move(screen.x + 40, screen.y + 435);
    await page.mouse.down();
    await page.mouse.move(screen.x + 260, screen.y + 435, { steps: 4 });
    await page.mouse.up();
    await waitForPhone(page, (screen) => !screen.springboard.locked);
    assert.equal(swipes.length, 2);
    assert.ok(swipes[0].velocity.y < -500 && Math.abs(swipes[0].velocity.x) < 1, JSON.stringify(swipes[0]));
    assert.deepEqual([swipes[0].x, swipes[0].y], [160, 300]);
    assert.ok(swipes[1].velocity.x > 500, JSON.stringify(swipes[1]));
});

test('the side panel sends an iMessage with a picture and an e-mail from a typed address', async () => {
    const form = page.locator('#receive-form');
    await form.locator('input[value="imessage"]').check();
    await page.locator('#receive-picture').selectOption('IMG_0002.JPG');
    await page.locator('#receive-from').fill('+393337654321');
    await page.locator('#receive-text').fill('Guarda dove sono!');
    await page.locator('#receive-button').click();
    const row = page.locator('#messages-table tbody tr', { hasText: 'Guarda dove sono!' }).first();
    await row.waitFor({ timeout: 5000 });
    assert.match(await row.textContent(), /iMessage/);

    await form.locator('input[value="mail"]').check();
    assert.ok(await page.locator('#receive-subject').isVisible(), 'a mail has a subject');
    assert.ok(!(await page.locator('#receive-picture').isVisible()), 'only an iMessage carries a picture');
    await page.locator('#receive-from').fill('Giulia Bianchi <giulia@example.com>');
    await page.locator('#receive-subject').fill('Cena di venerdì');
    await page.locator('#receive-text').fill('Porti il dolce?');
    await page.locator('#receive-button').click();
    await waitForPhone(page, (screen) => screen.springboard.notificationCenter.bulletins.some((bulletin) => bulletin.sectionID === 'com.apple.mobilemail'));
});

test('an application opened from the side panel is quit from it, back to the home screen', async () => {
    const unlocked = await page.evaluate(() => !window.plv.screen.springboard.locked);
    if (!unlocked) await step(page, { step: 'unlock_bulletin', index: 0 });
    await page.locator('#app-buttons button[data-app="open_app"][data-bundle="com.apple.mobilemail"]').click();
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.mobilemail');
    assert.notEqual(await page.locator('#step-status').getAttribute('data-state'), 'error', await page.locator('#step-status').textContent());
    await page.locator('#app-buttons button[data-app="quit_app"][data-bundle="com.apple.mobilemail"]').click();
    await waitForPhone(page, (screen) => screen.springboard.frontApp === null);
    await view(page, 'homeScreen').waitFor({ timeout: 5000 });
    await page.locator('#app-buttons button[data-app="quit_app"][data-bundle="com.apple.mobilemail"]').click();
    await page.locator('#step-status[data-state="error"]').waitFor({ timeout: 5000 });
    assert.match(await page.locator('#step-status').textContent(), /not running/);
});
