// How long a click on the screen takes to come back as a redrawn screen:
// with Messages in front, 200 clicks alternate between the first
// conversation (which opens it) and the Back button (which goes back to the
// list), so every click changes the screen. Prints p50 and p95 of two
// figures:
//
// - in the page: from the button's release (the tap goes out then) to the
//   first frame after the new screen was drawn, as a person sees it;
// - through the driver: from the driver sending the click to it seeing the
//   newer screen generation, which adds the driver's own round trips and
//   frame-aligned polling.
//
//     node tests/browser/bench-taps.mjs [taps]
//
// Not part of `make test`: a measurement, not a check.

import { launchBrowser, startSimulator, waitForPhone } from './harness.mjs';

const taps = Number(process.argv[2] || 200);

function percentile(sorted, p) {
    return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

function summary(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return `p50 ${percentile(sorted, 50).toFixed(1)} ms, p95 ${percentile(sorted, 95).toFixed(1)} ms, max ${sorted.at(-1).toFixed(1)} ms`;
}

// Watches the page from inside without changing it: when the button is
// released, and the frame after each pushed screen has been drawn.
// Where the time goes: when the step's answer came, and for each pushed
// screen when it arrived and when the page had drawn it.
function watchThePage() {
    window.bench = { released: 0, answered: 0, frames: [], screens: [] };
    document.addEventListener('pointerup', () => (window.bench.released = performance.now()), true);
    const fetchFirst = window.fetch;
    window.fetch = async (...args) => {
        const response = await fetchFirst(...args);
        if (String(args[0]).endsWith('/api/step')) window.bench.answered = performance.now();
        return response;
    };
    const listen = EventSource.prototype.addEventListener;
    EventSource.prototype.addEventListener = function (type, handler, ...rest) {
        if (type !== 'screen') return listen.call(this, type, handler, ...rest);
        return listen.call(
            this,
            type,
            (event) => {
                const arrived = performance.now();
                handler(event);
                window.bench.screens.push({ arrived, drawn: performance.now() });
                requestAnimationFrame(() => window.bench.frames.push(performance.now()));
            },
            ...rest,
        );
    };
}

const [browser, simulator] = await Promise.all([launchBrowser(), startSimulator()]);
try {
    const page = await browser.newPage({ viewport: { width: 1500, height: 900 } });
    await page.addInitScript(watchThePage);
    await page.goto(simulator.url);
    await page.waitForFunction(() => window.plv && window.plv.screen && window.plv.panels);
    await page.evaluate(() => fetch('/api/step', { method: 'POST', body: JSON.stringify({ step: 'open_app', bundle: 'com.apple.MobileSMS' }) }));
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.MobileSMS');
    await page.waitForTimeout(1000);

    const box = await page.locator('#screen').boundingBox();
    const inPage = [];
    const throughDriver = [];
    const toAnswer = [];
    const toArrival = [];
    const drawing = [];
    let unchanged = 0;
    for (let i = 0; i < taps; ++i) {
        const before = await page.evaluate(() => {
            window.bench.frames = [];
            return window.plv.screenGeneration;
        });
        const [x, y] = i % 2 === 0 ? [160, 90] : [35, 42];
        const started = Date.now();
        await page.mouse.click(box.x + x, box.y + y);
        try {
            await page.waitForFunction((before) => window.plv.screenGeneration > before, before, { timeout: 3000, polling: 'raf' });
            throughDriver.push(Date.now() - started);
            // The first frame drawn after the release (a screen pushed for
            // another reason just before it does not count).
            const frame = () => window.bench.frames.find((time) => time > window.bench.released);
            await page.waitForFunction(`(${frame})() !== undefined`);
            inPage.push(await page.evaluate(`(${frame})() - window.bench.released`));
            const parts = await page.evaluate(() => {
                const { released, answered, screens } = window.bench;
                const screen = screens.find((s) => s.arrived > released);
                return screen ? { answered: answered - released, arrived: screen.arrived - released, drawing: screen.drawn - screen.arrived } : null;
            });
            if (parts) {
                toAnswer.push(parts.answered);
                toArrival.push(parts.arrived);
                drawing.push(parts.drawing);
            }
        } catch {
            unchanged += 1;
        }
        await page.waitForFunction(() => window.plv.pendingSteps === 0);
        await page.evaluate(() => (window.bench.screens = []));
    }
    console.log(`taps: ${taps}, redrawn: ${inPage.length}, no change within 3 s: ${unchanged}`);
    if (inPage.length) {
        console.log(`click → redrawn screen, in the page: ${summary(inPage)}`);
        console.log(`click → redrawn screen, through the driver: ${summary(throughDriver)}`);
        console.log(`  of which: click → the step's answer: ${summary(toAnswer)}`);
        console.log(`            click → the new screen arrives: ${summary(toArrival)}`);
        console.log(`            drawing it (parse and build): ${summary(drawing)}`);
    }
} finally {
    await browser.close();
    await simulator.stop();
}
