// How long a click on the screen takes to come back as a redrawn screen:
// with Messages in front, the clicks alternate between the first
// conversation (which opens it) and the Back button (which goes back to the
// list), so every click changes the screen. Prints p50 and p95 of two
// figures:
//
// - in the page: from the button's release (the tap goes out then) to the
//   first frame after the new screen was drawn, as a person sees it;
// - through the driver: from the driver sending the click (less the press)
//   to it hearing of that frame, which adds the driver's own round trips.
//
// While a click is measured the driver only listens: it waits for the page
// to tell it of the frame, never polls the page once per frame. A page that
// is asked for a frame on every tick keeps its compositor ticking, and a
// new screen then waits for the next tick instead of getting a frame of its
// own at once, which a person's browser (nothing animating) would give it.
//
// The button is held for --press milliseconds (80 by default, a person's
// click) before it is released. A press of no length, which only a driver
// makes, lands the frame the page owes the press just after the release,
// and the new screen, arriving a few milliseconds later, then waits a whole
// frame for the next one. That case is measured too, in as many clicks
// again after the others, and reported beside them ("instant").
//
//     node tests/browser/bench-taps.mjs [taps] [--press ms] [--out results.json]
//
// With --out it also writes the figures as a Google Benchmark JSON file (one
// benchmark, BM_WebClickToRedraw, its time the median in the page and the
// percentiles as counters in milliseconds), which `make bench` puts beside
// the other programs' results for bench/bench_report.py. PLV_SIM picks the
// plv-sim to serve (harness.mjs).
//
// Not part of `make test`: a measurement, not a check.

import { writeFileSync } from 'node:fs';
import os from 'node:os';
import { launchBrowser, plvSim, startSimulator, waitForPhone } from './harness.mjs';

const args = process.argv.slice(2);
function option(name, fallback) {
    const at = args.indexOf(name);
    if (at < 0) return fallback;
    return args.splice(at, 2)[1];
}
const outPath = option('--out', null);
const press = Number(option('--press', 80));
const taps = Number(args[0] || 200);
// Clicks that warm the page and the server up first, not counted.
const warmUp = 10;

function percentile(sorted, p) {
    return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

function figures(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return { p50: percentile(sorted, 50), p95: percentile(sorted, 95), max: sorted.at(-1) };
}

function summary(values) {
    const { p50, p95, max } = figures(values);
    return `p50 ${p50.toFixed(1)} ms, p95 ${p95.toFixed(1)} ms, max ${max.toFixed(1)} ms`;
}

// Watches the page from inside without changing it: when the button is
// released, and the frame after each pushed screen has been drawn.
// Where the time goes: when the step's answer came, and for each pushed
// screen when it arrived and when the page had drawn it. `window.bench.next`
// resolves at the first frame after the release.
function watchThePage() {
    const bench = { released: 0, answered: 0, frames: [], screens: [], waiting: null };
    window.bench = bench;
    const frameAfterRelease = () => bench.frames.find((time) => time > bench.released);
    bench.next = (timeout) =>
        new Promise((resolve) => {
            const timer = setTimeout(() => resolve(null), timeout);
            bench.waiting = () => {
                const frame = frameAfterRelease();
                if (frame === undefined) return;
                clearTimeout(timer);
                bench.waiting = null;
                resolve(frame - bench.released);
            };
            bench.waiting();
        });
    document.addEventListener('pointerup', () => (bench.released = performance.now()), true);
    const fetchFirst = window.fetch;
    window.fetch = async (...args) => {
        const response = await fetchFirst(...args);
        if (String(args[0]).endsWith('/api/step')) bench.answered = performance.now();
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
                bench.screens.push({ arrived, drawn: performance.now() });
                requestAnimationFrame(() => {
                    bench.frames.push(performance.now());
                    bench.waiting?.();
                });
            },
            ...rest,
        );
    };
}

const [browser, simulator] = await Promise.all([launchBrowser(), startSimulator()]);
const started = new Date();
const inPage = [];
const instant = [];
const throughDriver = [];
const toAnswer = [];
const toArrival = [];
const drawing = [];
let unchanged = 0;
try {
    const page = await browser.newPage({ viewport: { width: 1500, height: 900 } });
    await page.addInitScript(watchThePage);
    await page.goto(simulator.url);
    await page.waitForFunction(() => window.plv && window.plv.screen && window.plv.panels);
    await page.evaluate(() => fetch('/api/step', { method: 'POST', body: JSON.stringify({ step: 'open_app', bundle: 'com.apple.MobileSMS' }) }));
    await waitForPhone(page, (screen) => screen.springboard.frontApp === 'com.apple.MobileSMS');
    await page.waitForTimeout(1000);

    const box = await page.locator('#screen').boundingBox();
    // The held presses first, then (when they were held) the instant ones.
    const rounds = press > 0 ? 2 * taps : taps;
    const held = (i) => press > 0 && i < warmUp + taps;
    for (let i = 0; i < warmUp + rounds; ++i) {
        await page.evaluate(() => {
            window.bench.released = Infinity;
            window.bench.frames = [];
            window.bench.screens = [];
        });
        const [x, y] = i % 2 === 0 ? [160, 90] : [35, 42];
        const clicked = Date.now();
        // Asked for before the click, so the driver hears of the frame
        // without a round trip of its own after it.
        const frame = page.evaluate(() => window.bench.next(3000));
        await page.mouse.click(box.x + x, box.y + y, { delay: held(i) ? press : 0 });
        const inThePage = await frame;
        const heard = Date.now();
        await page.waitForFunction(() => window.plv.pendingSteps === 0, null, { polling: 5 });
        if (i < warmUp) continue;
        if (inThePage === null) {
            unchanged += 1;
            continue;
        }
        if (press > 0 && !held(i)) {
            instant.push(inThePage);
            continue;
        }
        inPage.push(inThePage);
        throughDriver.push(heard - clicked - press);
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
    }
    console.log(`taps: ${taps} (each held ${press} ms), redrawn: ${inPage.length}, no change within 3 s: ${unchanged}`);
    if (inPage.length) {
        console.log(`click → redrawn screen, in the page: ${summary(inPage)}`);
        if (instant.length) console.log(`  the same with instant presses: ${summary(instant)}`);
        console.log(`click → redrawn screen, through the driver: ${summary(throughDriver)}`);
        console.log(`  of which: click → the step's answer: ${summary(toAnswer)}`);
        console.log(`            click → the new screen arrives: ${summary(toArrival)}`);
        console.log(`            drawing it (parse and build): ${summary(drawing)}`);
    }
} finally {
    await browser.close();
    await simulator.stop();
}

// Google Benchmark's JSON shape, as bench/bench_report.py reads it.
if (outPath && inPage.length) {
    const page = figures(inPage);
    const counter = (name, values) => (values.length ? { [`${name}_p50_ms`]: figures(values).p50, [`${name}_p95_ms`]: figures(values).p95 } : {});
    const result = {
        context: {
            date: started.toISOString(),
            host_name: os.hostname(),
            executable: `tests/browser/bench-taps.mjs (${plvSim})`,
            num_cpus: os.cpus().length,
            load_avg: os.loadavg(),
            library_build_type: 'release',
        },
        benchmarks: [
            {
                name: 'BM_WebClickToRedraw',
                run_name: 'BM_WebClickToRedraw',
                run_type: 'iteration',
                repetitions: 1,
                repetition_index: 0,
                threads: 1,
                iterations: inPage.length,
                real_time: page.p50,
                cpu_time: page.p50,
                time_unit: 'ms',
                p50_ms: page.p50,
                p95_ms: page.p95,
                max_ms: page.max,
                unchanged: unchanged,
                press_ms: press,
                ...counter('instant', instant),
                ...counter('driver', throughDriver),
                ...counter('answer', toAnswer),
                ...counter('arrival', toArrival),
                ...counter('drawing', drawing),
            },
        ],
    };
    writeFileSync(outPath, JSON.stringify(result, null, 2) + '\n');
}
process.exitCode = inPage.length ? 0 : 1;
