// What every browser test needs: its own plv-sim serve on a free port over a
// fresh temporary device, one headless chromium per test file, and ways to
// wait for the page to show a given state of the phone.

import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { before, after } from 'node:test';

const here = dirname(fileURLToPath(import.meta.url));
const sourceRoot = resolve(here, '..', '..');

export const plvSim = process.env.PLV_SIM || join(sourceRoot, 'build', 'default', 'simulator', 'plv-sim');
export const screenshotFolder = process.env.PLV_BROWSER_OUT || join(sourceRoot, 'build', 'default', 'browser');
const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';

export async function launchBrowser() {
    return chromium.launch({ executablePath: chromiumPath, headless: true, args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'] });
}

// Starts plv-sim serve on a fresh device; resolves when it prints its address.
// `extensions` ("parlivo,rendalo") seeds the device with that choice first.
export async function startSimulator({ extensions } = {}) {
    const device = mkdtempSync(join(tmpdir(), 'plv-browser-'));
    if (extensions) {
        const seeded = spawnSync(plvSim, ['seed', join(device, 'phone'), '--contacts', '40', '--extensions', extensions], { encoding: 'utf8' });
        if (seeded.status !== 0) throw new Error(`plv-sim seed failed:\n${seeded.stderr}`);
    }
    // PLV_WEB serves the page from another folder (an older copy, to compare).
    const web = process.env.PLV_WEB ? ['--web', process.env.PLV_WEB] : [];
    const child = spawn(plvSim, ['serve', '--device', join(device, 'phone'), '--port', '0', ...web], { stdio: ['ignore', 'pipe', 'pipe'] });
    let errors = '';
    child.stderr.on('data', (chunk) => {
        errors += chunk;
    });
    const url = await new Promise((resolveURL, reject) => {
        let output = '';
        const timer = setTimeout(() => reject(new Error(`plv-sim serve did not start in time:\n${errors}`)), 60000);
        child.stdout.on('data', (chunk) => {
            output += chunk;
            const match = /Serving the phone at (http:\/\/\S+)/.exec(output);
            if (match) {
                clearTimeout(timer);
                resolveURL(match[1]);
            }
        });
        child.on('exit', (code) => {
            clearTimeout(timer);
            reject(new Error(`plv-sim serve exited with ${code}:\n${errors}`));
        });
    });
    return {
        url,
        device,
        errors: () => errors,
        async stop() {
            if (child.exitCode === null) {
                const exited = new Promise((done) => child.once('exit', done));
                child.kill('SIGTERM');
                const timer = setTimeout(() => child.kill('SIGKILL'), 10000);
                await exited;
                clearTimeout(timer);
            }
            rmSync(device, { recursive: true, force: true });
        },
    };
}

// A page showing the phone, once the first screen has been drawn.
export async function openPhone(browser, simulator) {
    const page = await browser.newPage({ viewport: { width: 1500, height: 900 } });
    page.on('pageerror', (error) => {
        throw error;
    });
    // Every console error from the first byte on, for the tests that want none.
    page.consoleErrors = [];
    page.on('console', (message) => {
        if (message.type() === 'error') page.consoleErrors.push(`${message.text()} (${message.location().url})`);
    });
    await page.goto(simulator.url);
    await page.waitForFunction(() => window.plv && window.plv.screen && window.plv.panels);
    await page.waitForSelector('#app-buttons button');
    return page;
}

// One chromium and one plv-sim serve for a whole test file: started before
// its first test, stopped after its last. `opened` receives {browser,
// simulator, page} once the page shows the phone.
export function usePhone(opened, options = {}) {
    let browser;
    let simulator;
    before(async () => {
        [browser, simulator] = await Promise.all([launchBrowser(), startSimulator(options)]);
        opened({ browser, simulator, page: await openPhone(browser, simulator) });
    });
    after(async () => {
        await browser?.close();
        await simulator?.stop();
    });
}

// Waits until the phone's state as the page holds it satisfies `predicate`
// (run in the page with the state {snapshot, springboard} and the panels).
export async function waitForPhone(page, predicate, argument, timeout = 10000) {
    await page.waitForFunction(
        ({ source, argument }) => {
            const test = new Function('screen', 'panels', 'argument', `return (${source})(screen, panels, argument);`);
            return window.plv.screen && test(window.plv.screen, window.plv.panels, argument);
        },
        { source: predicate.toString(), argument },
        { timeout },
    );
}

// Sends a step as the page does and answers the server's answer.
export async function step(page, body) {
    return page.evaluate(async (body) => {
        const response = await fetch('/api/step', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) });
        return { status: response.status, ...(await response.json()) };
    }, body);
}

// The drawn element of a named view, as a locator.
export function view(page, name) {
    return page.locator(`#screen [data-name="${name}"]`).first();
}

export async function screenshot(page, name) {
    mkdirSync(screenshotFolder, { recursive: true });
    const path = join(screenshotFolder, `${name}.png`);
    await page.screenshot({ path });
    return path;
}

export function hasParlivo(simulator) {
    return existsSync(join(simulator.device, 'phone', 'Library', 'MobileSubstrate', 'DynamicLibraries', 'Parlivo.so'));
}

export function hasRendalo(simulator) {
    return existsSync(join(simulator.device, 'phone', 'Library', 'MobileSubstrate', 'DynamicLibraries', 'Rendalo.so'));
}
