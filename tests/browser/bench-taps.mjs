// How long a click on the screen takes to come back as a redrawn screen:
// with Messages in front, 200 clicks alternate between the first
// conversation (which opens it) and the Back button (which goes back to the
// list), so every click changes the screen. Each is timed from the click to
// the page holding a newer screen generation, which it draws as it arrives.
// Prints p50 and p95.
//
//     node tests/browser/bench-taps.mjs [taps]
//
// Not part of `make test`: a measurement, not a check.

import { launchBrowser, startSimulator, openPhone, waitForPhone } from './harness.mjs';

const taps = Number(process.argv[2] || 200);

function percentile(sorted, p) {
    return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

const [browser, simulator] = await Promise.all([launchBrowser(), startSimulator()]);
try {
    const page = await openPhone(browser, simulator);
    await page.evaluate(() => fetch('/api/step', { method: 'POST', body: JSON.stringify({ step: 'open_app', bundle: 'com.apple.MobileSMS' }) }));
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.MobileSMS');
    await page.waitForTimeout(1000);

    const box = await page.locator('#screen').boundingBox();
    const durations = [];
    let unchanged = 0;
    for (let i = 0; i < taps; ++i) {
        const before = await page.evaluate(() => window.plv.screenGeneration);
        const [x, y] = i % 2 === 0 ? [160, 90] : [35, 42];
        const started = Date.now();
        await page.mouse.click(box.x + x, box.y + y);
        try {
            await page.waitForFunction((before) => window.plv.screenGeneration > before, before, { timeout: 3000, polling: 'raf' });
            durations.push(Date.now() - started);
        } catch {
            unchanged += 1;
        }
        await page.waitForFunction(() => window.plv.pendingSteps === 0);
    }
    durations.sort((a, b) => a - b);
    console.log(`taps: ${taps}, redrawn: ${durations.length}, no change within 3 s: ${unchanged}`);
    if (durations.length) console.log(`click → redrawn screen: p50 ${percentile(durations, 50)} ms, p95 ${percentile(durations, 95)} ms, max ${durations.at(-1)} ms`);
} finally {
    await browser.close();
    await simulator.stop();
}
