// Quick Compose as a person meets it in the browser: the side panel's
// Activator control brings the "New message" banner and the compose panel;
// typing in the To field lists the matching names with the favourites first
// and their star; a chosen name, a group and a typed number each get their
// messages in sms.db; a fast swipe up closes the panel; turned to landscape
// it takes the landscape frames.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, screenshot, hasParlivo } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

async function screenOrigin() {
    const box = await page.locator('#screen').boundingBox();
    return { x: box.x, y: box.y };
}

// A click on a point of the phone's screen (portrait points).
async function tapAt(x, y) {
    const origin = await screenOrigin();
    await page.mouse.click(origin.x + x, origin.y + y);
}

// Waits until the named view shows the text: typed keys reach the phone one step at a time.
async function waitForText(name, text) {
    const shown = () =>
        page.evaluate((name) => {
            const find = (node) => node && (node.name === name ? node : (node.subviews || []).map(find).find(Boolean));
            const found = window.plv.screen.snapshot.windows.map(find).find(Boolean);
            return found ? found.text : null;
        }, name);
    await waitForPhone(
        page,
        (screen, panels, { name, text }) => {
            const find = (node) => node && (node.name === name ? node : (node.subviews || []).map(find).find(Boolean));
            const found = screen.snapshot.windows.map(find).find(Boolean);
            return found && found.text === text;
        },
        { name, text },
    ).catch(async (error) => {
        throw new Error(`${name} shows ${JSON.stringify(await shown())}, not ${JSON.stringify(text)}: ${error.message}`);
    });
}

// A click on a field, then the wait until the phone has made it the first responder.
async function focus(name) {
    await view(page, name).click();
    await waitForPhone(
        page,
        (screen, panels, name) => {
            const find = (node) => node && (node.name === name ? node : (node.subviews || []).map(find).find(Boolean));
            const found = screen.snapshot.windows.map(find).find(Boolean);
            return found && found.firstResponder;
        },
        name,
    );
}

async function typeInto(name, text) {
    await page.keyboard.type(text);
    await waitForText(name, text);
}

async function fireActivator() {
    // A journey that failed half-way must not keep the next one from opening.
    if (await view(page, 'closeButton').count()) {
        await view(page, 'closeButton').click();
        await view(page, 'bgView').waitFor({ state: 'detached', timeout: 5000 });
    }
    await page.locator('#activator-form button[type="submit"]').click();
    await waitForPhone(page, (screen) => screen.springboard.banner && screen.springboard.banner.title === 'New message');
    await view(page, 'toField').waitFor({ timeout: 5000 });
    await view(page, 'closeButton').waitFor({ timeout: 5000 });
    // The opening ends by putting the keyboard away again.
    await waitForPhone(page, (screen) => !(screen.snapshot.keyboard && screen.snapshot.keyboard.visible));
}

// The titles of the drop-down's rows and whether each carries the star.
async function dropDownRows() {
    return page.evaluate(() => {
        const find = (node) => node && (node.name === 'contactsTableView' ? node : (node.subviews || []).map(find).find(Boolean));
        const table = window.plv.screen.snapshot.windows.map(find).find(Boolean);
        if (!table) return [];
        return table.rows.map((row) => {
            const texts = [];
            let star = false;
            const collect = (sub) => {
                if (!sub) return;
                if (sub.name === 'star') star = true;
                if (sub.class === 'UILabel' && sub.text) texts.push(sub.text);
                (sub.subviews || []).forEach(collect);
            };
            collect(row.cell);
            return { title: texts[0], detail: texts[1], star };
        });
    });
}

async function composeClosed() {
    await view(page, 'bgView').waitFor({ state: 'detached', timeout: 5000 });
    await waitForPhone(page, (screen) => !screen.springboard.banner);
}

async function sentRows(text) {
    const rows = page.locator('#messages-table tbody tr', { hasText: text });
    await rows.first().waitFor({ timeout: 5000 });
    return rows.allTextContents();
}

test('the Activator control opens the panel; "ros" lists favourites first with their star; the chosen one gets the SMS', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await fireActivator();
    assert.equal(await view(page, 'replyField').textContent(), 'Message');
    await screenshot(page, 'quick-compose-portrait');

    await focus('toField');
    await typeInto('toField', 'ros');
    const rows = await dropDownRows();
    assert.ok(rows.length >= 3, JSON.stringify(rows));
    assert.deepEqual(rows.slice(0, 2), [
        { title: 'ROSSANA', detail: '333 765 4321', star: true },
        { title: 'Rossi Anna', detail: '+39 347 123 4567', star: true },
    ]);
    assert.ok(rows.slice(2).every((row) => !row.star && /ros/i.test(row.title)), JSON.stringify(rows));
    await screenshot(page, 'quick-compose-search');

    await tapAt(160, 140);
    await waitForPhone(page, (screen) => JSON.stringify(screen.snapshot).includes('"Rossi Anna"') && !JSON.stringify(screen.snapshot).includes('"contactsTableView"'));
    await typeInto('replyField', 'Ci vediamo alle 8?');
    await view(page, 'sendButton').click();
    await composeClosed();
    const sent = await sentRows('Ci vediamo alle 8?');
    assert.equal(sent.length, 1);
    assert.match(sent[0], /\+39 347 123 4567|\+393471234567/);
});

test('a group of three with one e-mail member gets two SMS and logs three contacts', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await fireActivator();
    await focus('toField');
    await typeInto('toField', 'cena');
    assert.equal((await dropDownRows())[0].title, 'Cena di classe');
    await tapAt(160, 96);
    await typeInto('replyField', 'Venerdi alle 20');
    await view(page, 'sendButton').click();
    await composeClosed();
    const sent = await sentRows('Venerdi alle 20');
    assert.equal(sent.length, 2, sent.join('\n'));
    await page.locator('#log-files', { hasText: 'giulia.bianchi@example.it' }).waitFor({ timeout: 5000 });
});

test('a typed number sent by iMessage goes to exactly that text', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    await fireActivator();
    await view(page, 'typeOfmessageButton').click();
    await waitForPhone(page, (screen) => JSON.stringify(screen.snapshot).includes('"iM"'));
    await focus('replyField');
    await typeInto('replyField', 'Sei a casa?');
    await focus('toField');
    await typeInto('toField', '+39 333 444 5555');
    await view(page, 'sendButton').click();
    await composeClosed();
    const sent = await sentRows('Sei a casa?');
    assert.equal(sent.length, 1);
    assert.match(sent[0], /iMessage/);
    assert.match(sent[0], /\+39 333 444 5555|\+393334445555/);
});

test('turned to landscape the panel takes the landscape frames; a fast swipe up closes it', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');
    // The home screen never turns; an application in front does.
    await page.locator('#app-buttons button[data-app="open_app"][data-bundle="com.apple.mobilemail"]').click();
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.mobilemail');
    await fireActivator();
    await page.locator('#orientation-buttons [data-orientation="3"]').click();
    await waitForPhone(page, (screen) => {
        const find = (node) => node && (node.name === 'bgView' ? node : (node.subviews || []).map(find).find(Boolean));
        const panel = screen.snapshot.windows.map(find).find(Boolean);
        return panel && panel.frame[2] === 480 && panel.frame[3] === 112;
    });
    await page.waitForTimeout(500);
    await screenshot(page, 'quick-compose-landscape');
    await page.locator('#orientation-buttons [data-orientation="1"]').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 1);
    await page.waitForTimeout(500);

    const box = await view(page, 'replyField').boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height - 10);
    await page.mouse.down();
    await page.mouse.move(box.x + box.width / 2, box.y + 10, { steps: 3 });
    await page.mouse.up();
    await composeClosed();
});
