// Recording a journey as a scenario and replaying it. A person receives an
// SMS, taps its banner, replies, sends, turns the phone and locks it while
// the page records; the saved scenario, run by `plv-sim run` on a freshly
// seeded phone, must end where the page ended: the same messages, outbox and
// files. The same file opened in the page plays step by step and at once.

import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';
import { usePhone, waitForPhone, view, step, screenshot, hasParlivo, plvSim } from './harness.mjs';

let simulator;
let page;
usePhone((opened) => ({ simulator, page } = opened));

// The saved scenario and the phone plv-sim run seeds for it, for all tests.
const folder = mkdtempSync(join(tmpdir(), 'plv-record-'));
after(() => rmSync(folder, { recursive: true, force: true }));
let scenarioPath;
let scenario;

const idle = () => page.waitForFunction(() => window.plv.pendingSteps === 0);

// The log as both runs must have written it: without the size check that
// background work writes whenever its thread gets to it, which a served
// phone (real threads) and a scenario run cannot agree on.
const settled = (text) => (typeof text === 'string' ? text.replace(/^NORMAL:The file size is: \d+\n/gm, '') : text);

test('a recorded journey saves as a scenario that plv-sim run takes to the same state', async (t) => {
    if (!hasParlivo(simulator)) return t.skip('the reply needs Parlivo');
    await page.locator('#record-button').click();
    assert.equal(await page.evaluate(() => document.body.dataset.recording), 'true');

    await page.locator('#receive-form input[value="sms"]').check();
    await page.locator('#receive-from').fill('+393471234567');
    await page.locator('#receive-text').fill('Dove sei?');
    await page.locator('#receive-button').click();
    await view(page, 'banner').waitFor({ timeout: 5000 });
    await view(page, 'banner').click();
    await view(page, 'sendButton').waitFor({ timeout: 5000 });
    // Reply opens the keyboard; the same button then sends.
    await view(page, 'sendButton').click();
    await waitForPhone(page, (screen) => screen.snapshot.keyboard.visible);
    await page.keyboard.type('Arrivo tra poco!');
    await page.locator('#screen [data-name="replyField"]', { hasText: 'Arrivo tra poco!' }).waitFor({ timeout: 5000 });
    await view(page, 'sendButton').click();
    await waitForPhone(page, (screen, panels) => panels.messages.some((message) => message.outgoing && message.text === 'Arrivo tra poco!'), null, 10000);
    await page.locator('#rotate-left').click();
    await waitForPhone(page, (screen) => screen.springboard.deviceOrientation === 3);
    await page.locator('#controls button[data-step="lock"]').click();
    await waitForPhone(page, (screen) => screen.springboard.locked);
    await idle();
    // The panels are read again at most a second after the last change.
    await page.waitForTimeout(1500);
    await screenshot(page, 'record-journey');

    const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#save-scenario').click()]);
    const shown = await page.evaluate(() => ({ panels: window.plv.panels, springboard: window.plv.screen.springboard }));
    scenarioPath = join(folder, 'recorded.json');
    await download.saveAs(scenarioPath);
    scenario = JSON.parse(readFileSync(scenarioPath, 'utf8'));

    const names = scenario.map((entry) => entry.step);
    assert.deepEqual(
        names.filter((name) => name !== 'advance'),
        ['receive_sms', 'tap', 'tap', 'type', 'tap', 'rotate', 'lock', 'dump'],
    );
    assert.ok(names.includes('advance'), 'the time between the steps is kept');
    assert.ok(scenario.every((entry) => typeof entry.comment === 'string' && entry.comment.length > 0), 'every step says what it is');
    assert.equal(scenario.find((entry) => entry.step === 'type').text, 'Arrivo tra poco!');
    assert.match(scenario.find((entry) => entry.step === 'tap').comment, /banner/);

    const { stdout } = await promisify(execFile)(plvSim, ['run', scenarioPath, '--device', join(folder, 'phone')], { maxBuffer: 64 * 1024 * 1024 });
    const dump = JSON.parse(stdout.trim().split('\n').at(-1));
    assert.deepEqual(dump.messages, shown.panels.messages);
    assert.deepEqual(dump.outbox, shown.panels.outbox);
    assert.deepEqual(Object.keys(dump.files).sort(), Object.keys(shown.panels.files).sort());
    for (const [path, text] of Object.entries(shown.panels.files)) {
        // The page shows the end of a long log.
        const ran = settled(dump.files[path]);
        const showed = settled(text);
        if (path.endsWith('.log') && typeof ran === 'string' && typeof showed === 'string') assert.equal(ran.slice(-showed.length), showed, `${path} ends as the page showed it`);
        else assert.equal(ran, showed, path);
    }
    assert.equal(dump.springboard.locked, true);
    assert.equal(dump.springboard.deviceOrientation, shown.springboard.deviceOrientation);
});

test('an opened scenario plays step by step with its comments, then at once', async (t) => {
    if (!scenarioPath) return t.skip('needs the recorded scenario');
    // Back where the recording started: upright and unlocked.
    await step(page, { step: 'rotate', orientation: 1 });
    await step(page, { step: 'home' });
    await step(page, { step: 'swipe', view: 'unlockSlider', velocity: { x: 1200, y: 0 } });
    await step(page, { step: 'home' });
    await waitForPhone(page, (screen) => !screen.springboard.locked && screen.springboard.frontApp === null);
    const before = await page.evaluate(() => window.plv.panels.messages.length);

    await page.locator('#open-scenario').setInputFiles(scenarioPath);
    const rows = page.locator('#replay-steps li');
    await rows.first().waitFor();
    assert.equal(await rows.count(), scenario.length);
    assert.match(await page.locator('#replay-steps').textContent(), /an SMS arrives from \+393471234567/);
    assert.equal(await rows.nth(0).getAttribute('data-state'), 'next');
    assert.equal(await rows.nth(1).getAttribute('data-state'), 'later');

    // Step by step up to the SMS (the recording may open with a wait).
    const receiving = scenario.findIndex((entry) => entry.step === 'receive_sms');
    for (let played = 1; played <= receiving + 1; ++played) {
        await page.locator('#replay-step').click();
        await page.waitForFunction((played) => document.querySelectorAll('#replay-steps li[data-state="done"]').length === played, played, { timeout: 10000 });
        assert.equal(await rows.nth(played).getAttribute('data-state'), 'next');
        assert.match(await page.locator('#step-status').textContent(), new RegExp(`step ${played} of ${scenario.length}`));
    }
    await view(page, 'banner').waitFor({ timeout: 5000 });
    // Tall enough for the side panel's recording and replay list (the
    // picture in docs/webui.md).
    await page.setViewportSize({ width: 1500, height: 1080 });
    await page.evaluate(() => window.scrollTo(0, 0));
    await screenshot(page, 'replay-step-by-step');
    await page.setViewportSize({ width: 1500, height: 900 });

    await page.locator('#replay-all').click();
    await page.waitForFunction((count) => document.querySelectorAll('#replay-steps li[data-state="done"]').length === count, scenario.length, { timeout: 60000 });
    await waitForPhone(page, (screen, panels, before) => panels.messages.length === before + 2 && screen.springboard.locked, before);
    const [received, sent] = await page.evaluate(() => window.plv.panels.messages.slice(-2));
    assert.equal(received.text, 'Dove sei?');
    assert.equal(sent.text, 'Arrivo tra poco!');
    assert.ok(sent.outgoing);
    assert.ok(await page.locator('#replay-all').isDisabled());
});

test('a file that is no scenario is refused and leaves the list alone', async () => {
    const path = join(folder, 'broken.json');
    writeFileSync(path, '{"step": "home"}');
    const listed = await page.locator('#replay-steps li').count();
    await page.locator('#open-scenario').setInputFiles(path);
    await page.locator('#step-status[data-state="error"]', { hasText: 'broken.json' }).waitFor({ timeout: 5000 });
    assert.equal(await page.locator('#replay-steps li').count(), listed);
});
