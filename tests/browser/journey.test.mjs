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
    // The applications' own icons, from their bundles on the phone.
    for (const [bundle, folder] of [
        ['com.apple.MobileSMS', 'MobileSMS'],
        ['com.apple.mobilemail', 'MobileMail'],
    ]) {
        const icon = page.locator(`#screen [data-name="icon-${bundle}"] [data-name="iconImage"] img`);
        await page.waitForFunction((node) => node.complete && node.naturalWidth > 0, await icon.elementHandle());
        assert.equal(await icon.getAttribute('src'), `/device/Applications/${folder}.app/Icon.png`);
        assert.equal(await icon.evaluate((node) => node.naturalWidth), 57);
    }
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

test('the side panel sends an iMessage with a picture from a typed address, and an e-mail from a sender of the phone', async () => {
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
    // The phone's own mail senders are offered, each with her name.
    await page.locator('#receive-contact').selectOption('Giulia Bianchi <giulia@example.com>');
    assert.equal(await page.locator('#receive-from').inputValue(), 'Giulia Bianchi <giulia@example.com>');
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

test('views are drawn by their kind, and a kind the page does not know as a plain view', async () => {
    const drawn = await page.evaluate(async () => {
        const { drawView } = await import('/screen.js');
        const view = (kind, extra = {}) => ({
            class: 'PLVTestView',
            kind,
            name: kind,
            frame: [0, 0, 100, 30],
            bounds: [0, 0, 100, 30],
            center: [50, 15],
            rotation: 0,
            translation: [0, 0],
            hidden: false,
            alpha: 1,
            backgroundColor: [1, 0, 0, 1],
            cornerRadius: 0,
            borderWidth: 0,
            subviews: [],
            ...extra,
        });
        const describe = (node) => ({ kind: node.dataset.kind, classes: [...node.classList], html: node.innerHTML, background: node.style.backgroundColor });
        return {
            on: describe(drawView(view('switch', { on: true }))),
            off: describe(drawView(view('switch', { on: false }))),
            slider: describe(drawView(view('slider', { value: 5, minimumValue: 0, maximumValue: 10 }))),
            label: describe(drawView(view('label', { text: 'Suoni', numberOfLines: 1, font: { name: 'Helvetica', size: 17, bold: false } }))),
            checkmark: describe(drawView(view('accessoryIndicator', { accessoryType: 3 }))),
            none: describe(drawView(view('accessoryIndicator', { accessoryType: 0 }))),
            unknown: describe(drawView(view('dropDownOfTheFuture', { text: 'not drawn as a label' }))),
            hidden: drawView(view('label', { hidden: true })),
        };
    });
    assert.ok(drawn.on.classes.includes('kind-switch') && drawn.on.classes.includes('on'), JSON.stringify(drawn.on));
    assert.ok(drawn.off.classes.includes('off'));
    assert.match(drawn.slider.html, /left: 50%/);
    assert.match(drawn.label.html, /Suoni/);
    assert.match(drawn.checkmark.html, /✓/);
    assert.equal(drawn.none.html, '', 'no accessory, no mark');
    assert.equal(drawn.unknown.kind, 'view');
    assert.equal(drawn.unknown.html, '');
    assert.equal(drawn.unknown.background, 'rgb(255, 0, 0)', 'still a box with its colour');
    assert.equal(drawn.hidden, null);
});
