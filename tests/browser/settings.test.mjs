// PLVSettings as the phone's owner uses it in the browser: opened from its
// icon on the home screen, a switch turned off (and the lock screen then
// opens Messages, not the quick reply), a colour chosen for the quick reply
// background (and the next panel shows it), a favourite added from the
// Address Book, and a bug report sent into the outbox with the log attached.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { usePhone, waitForPhone, view, screenshot, hasParlivo, step } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

const preferencesPath = '/var/mobile/Library/PLV/preferences.plist';
const favoritesPath = '/var/mobile/Library/PLV/favorites.plist';

// Waits until the named view is drawn in the colour [r, g, b, a].
async function waitForColour(name, colour) {
    await waitForPhone(
        page,
        (screen, panels, { name, colour }) => {
            const find = (view) => {
                if (!view) return null;
                if (view.name === name) return view;
                for (const child of [...(view.subviews || []), ...(view.rows || []).map((row) => row.cell)]) {
                    const found = find(child);
                    if (found) return found;
                }
                return null;
            };
            const view = find({ subviews: screen.snapshot.windows });
            return view !== null && (view.backgroundColor || []).join() === colour.join();
        },
        { name, colour },
    );
}

async function openSettings() {
    await page.locator('#controls button[data-step="home"]').click();
    await waitForPhone(page, (screen) => screen.springboard.frontApp === null);
    await view(page, 'icon-it.kelvane.plvsettings').click();
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'it.kelvane.plvsettings');
    await view(page, 'settingsTable').waitFor({ timeout: 5000 });
    // The application comes back as it was left: up to the top of the list.
    await scrollTo('settingsTable', 'row-ncqr', 1500);
}

// Drags the table until the named row is drawn (dy < 0 goes down the list).
async function scrollTo(table, name, dy = -1500) {
    for (let tries = 0; tries < 60 && (await page.locator(`#screen [data-name="${name}"]`).count()) === 0; ++tries) {
        const answer = await step(page, { step: 'swipe', view: table, velocity: { x: 0, y: dy } });
        assert.equal(answer.status, 200, JSON.stringify(answer));
        await page.waitForTimeout(100);
    }
    await view(page, name).waitFor({ timeout: 5000 });
}

async function fileHas(path, text) {
    await waitForPhone(page, (screen, panels, { path, text }) => (panels.files?.[path] || '').includes(text), { path, text });
}

test('PLVSettings opens from its icon on the home screen', async () => {
    await view(page, 'icon-it.kelvane.plvsettings').waitFor({ timeout: 5000 });
    await openSettings();
    await page.locator('#screen [data-name="row-lockQR"]', { hasText: 'Lockscreen Quick Reply' }).waitFor();
    await view(page, 'switch-ncqr').waitFor();
    await screenshot(page, 'settings-root');
    // Showing the switches writes the file with only the version and the bug flag.
    await fileHas(preferencesPath, '<key>bug</key>');
});

test('"Lockscreen Quick Reply" off: an unlocked bulletin opens Messages, not the quick reply', async (t) => {
    await view(page, 'switch-lockQR').click();
    await fileHas(preferencesPath, '<key>lockQR</key>\n\t<string>0</string>');
    await screenshot(page, 'settings-lockqr-off');
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');

    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#controls button[data-step="lock"]').click();
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await page.locator('#receive-form input[value="sms"]').check();
    await page.locator('#receive-from').fill('+393471234567');
    await page.locator('#receive-text').fill('Sei sveglio?');
    await page.locator('#receive-button').click();
    await page.locator('#lock-rows li', { hasText: 'Sei sveglio?' }).first().getByRole('button').click();
    await waitForPhone(page, (screen) => !screen.springboard.locked && screen.springboard.frontApp === 'com.apple.MobileSMS');
    assert.equal(await page.locator('#screen [data-name="messageField"]').count(), 0);
});

test('"Red" for the quick reply background: the next quick reply panel is red', async (t) => {
    await openSettings();
    await scrollTo('settingsTable', 'row-qrcolors');
    await view(page, 'row-qrcolors').click();
    await view(page, 'colorTable').waitFor({ timeout: 5000 });
    await view(page, 'preset-red').click();
    await waitForColour('colorPreview', [1, 0, 0, 1]);
    await screenshot(page, 'settings-color-editor');
    await view(page, 'backButton').click();
    await fileHas(preferencesPath, '<key>qrcolors</key>\n\t<string>1 0 0</string>');
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');

    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#receive-from').fill('+393471234567');
    await page.locator('#receive-text').fill('Di che colore è?');
    await page.locator('#receive-button').click();
    await view(page, 'banner').click();
    await view(page, 'bgView').waitFor({ timeout: 5000 });
    await waitForColour('bgView', [1, 0, 0, 1]);
    await screenshot(page, 'settings-red-quick-reply');
    await view(page, 'closeButton').click();
    await page.locator('#screen [data-name="alertWindow"]').waitFor({ state: 'detached', timeout: 5000 });
});

// The quick compose list's rows in order: title, number and whether the row carries the star.
async function composeRows() {
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

test('a favourite from a contact with two numbers: the second one is in favorites.plist, and first with its star in quick compose', async (t) => {
    await openSettings();
    await view(page, 'row-favorites').click();
    await view(page, 'addButton').waitFor({ timeout: 5000 });
    await screenshot(page, 'settings-favorites');
    await view(page, 'addButton').click();
    // The picker lists the Address Book by last name: drag it down to the R's,
    // until Anna Rossi's row is wholly on the screen.
    const anna = page.locator('#screen [data-class="UITableViewCell"]', { hasText: /^Anna Rossi$/ }).first();
    const onScreen = async () => {
        if ((await anna.count()) === 0) return false;
        const [box, screen] = await Promise.all([anna.boundingBox(), page.locator('#screen').boundingBox()]);
        return box !== null && box.y >= screen.y + 64 && box.y + box.height <= screen.y + screen.height - 10;
    };
    for (let tries = 0; tries < 120 && !(await onScreen()); ++tries) {
        const answer = await step(page, { step: 'swipe', x: 160, y: 300, velocity: { x: 0, y: (await anna.count()) ? -1000 : -2000 } });
        assert.equal(answer.status, 200, JSON.stringify(answer));
        await page.waitForTimeout(50);
    }
    assert.ok(await onScreen(), 'Anna Rossi is in the list');
    await anna.click();
    await view(page, 'actionSheetButton1').waitFor({ timeout: 5000 });
    await screenshot(page, 'settings-favorite-numbers');
    // The sheet's title is drawn once, by the sheet's own label.
    const sheet = page.locator('#screen [data-kind="actionSheet"]').first();
    const title = await page.evaluate(() => {
        const find = (view) => (view?.kind === 'actionSheet' ? view : (view?.subviews || []).map(find).find(Boolean));
        return window.plv.screen.snapshot.windows.map(find).find(Boolean)?.title;
    });
    assert.ok(title, 'the number sheet has a title');
    assert.equal((await sheet.innerText()).split(title).length - 1, 1, `“${title}” is drawn once`);
    await view(page, 'actionSheetButton1').click();
    await page.locator('#screen [data-name^="favorite-"]', { hasText: '06 1234 5678' }).waitFor({ timeout: 5000 });
    await view(page, 'doneButton').click();
    await fileHas(favoritesPath, '<key>06 1234 5678</key>\n\t<string>Rossi Anna</string>');
    if (!hasParlivo(simulator)) return t.skip('Parlivo is not built');

    await page.locator('#controls button[data-step="home"]').click();
    await page.locator('#activator-form button[type="submit"]').click();
    await view(page, 'toField').waitFor({ timeout: 5000 });
    await waitForPhone(page, (screen) => !(screen.snapshot.keyboard && screen.snapshot.keyboard.visible));
    await view(page, 'toField').click();
    await waitForPhone(page, (screen) => screen.snapshot.keyboard && screen.snapshot.keyboard.visible);
    await page.keyboard.type('ros');
    await waitForPhone(page, (screen) => JSON.stringify(screen.snapshot).includes('"contactsTableView"'));
    let rows = [];
    for (let tries = 0; tries < 50 && !rows.some((row) => row.detail === '06 1234 5678'); ++tries) {
        await page.waitForTimeout(100);
        rows = await composeRows();
    }
    const starred = rows.filter((row) => row.star);
    assert.ok(starred.some((row) => row.title === 'Rossi Anna' && row.detail === '06 1234 5678'), JSON.stringify(rows));
    assert.deepEqual(rows.slice(0, starred.length), starred, 'the favourites come first');
    await screenshot(page, 'settings-favorite-in-compose');
    await view(page, 'closeButton').click();
    await view(page, 'bgView').waitFor({ state: 'detached', timeout: 5000 });
});

test('a bug report: a mail in the outbox with PLV.log attached', async () => {
    await openSettings();
    await view(page, 'row-bug').click();
    await waitForPhone(page, (screen) => JSON.stringify(screen.snapshot).includes('MFMailComposeView'));
    await screenshot(page, 'settings-bug-report');
    const answer = await step(page, { step: 'tap', view: 'composeSendButton' });
    assert.equal(answer.status, 200, JSON.stringify(answer));
    await page.locator('#outbox-list .mail', { hasText: 'PLV Bug report' }).waitFor({ timeout: 5000 });
    await page.locator('#outbox-list .mail .attachment', { hasText: 'PLV.log' }).waitFor({ timeout: 5000 });
});
