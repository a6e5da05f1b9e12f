// Start-up of runetally.html against its floors, in headless Chromium, each page opened from disk
// in a fresh context, in alternating runs; medians with their spread, in ms from navigation:
//   paint  the first contentful paint;
//   shown  the frame that shows the main window with its boxes filled (the floor: its one box);
//   ready  the first focus given, once the program has run (the floor: its box made by its
//          module); after the runs, a Calculate in each build of the page checks that it answers.
// The floors: floor.html, a minimal module that shows one input box; floormarkup.html, a module
// that makes the main window's markup in main; static.html, the window's markup with no program.
// Other builds of the page, given after the runs, take their turn in the same alternation.
//
//   node bench/web/startup.mjs [BUILD_FOLDER] [RUNS] [OTHER_PAGE...]
//                                                         (after cmake --build --preset web)
import { createRequire } from 'node:module';
import { readFileSync, statSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const build = resolve(process.argv[2] || 'build-web');
const runs = Number(process.argv[3] || 20);
const { chromium } = createRequire(`${build}/npm/`)('playwright-core');
const others = process.argv.slice(4).map((file) => resolve(file));
const window = { box: '#varLevel', value: '99', stop: 'varResist' };
const pages = {
    floor: { file: `${build}/bench/web/floor.html`, box: '#floor', value: '100', stop: null },
    static: { file: `${build}/bench/web/static.html`, ...window, stop: null },
    floormarkup: { file: `${build}/bench/web/floormarkup.html`, ...window },
    runetally: { file: `${build}/web/runetally.html`, ...window },
    ...Object.fromEntries(others.map((file) => [file, { file, ...window }])),
};
const names = Object.keys(pages);

const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox'],
});

// Watches the page from before its first byte: when its box first holds its text (then the next
// frame, the one that shows it), and when the focus first reaches the window's first stop.
function watch({ box, value, stop }) {
    const times = (window.startupTimes = {});
    const check = () => {
        const element = document.querySelector(box);
        if (!times.inPage && element && element.value === value) {
            times.inPage = performance.now();
            requestAnimationFrame(() => { times.shown = performance.now(); });
        }
        if (!times.ready && (stop ? document.activeElement?.id === stop : element)) {
            times.ready = performance.now();
        }
    };
    new MutationObserver(check).observe(document, { childList: true, subtree: true,
        attributes: true });
    document.addEventListener('focusin', check, true);
}

async function timeStartUp(which, { calculate = false } = {}) {
    const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
    const page = await context.newPage();
    const { box, value, stop } = pages[which];
    await page.addInitScript(watch, { box, value, stop });
    await page.goto(pathToFileURL(pages[which].file).href);
    await page.waitForFunction((ready) => window.startupTimes.shown &&
        (!ready || window.startupTimes.ready), stop !== null || which === 'floor');
    const paint = await page.evaluate(() => new Promise((done) => {
        new PerformanceObserver((list) => {
            const entry = list.getEntriesByName('first-contentful-paint')[0];
            if (entry) done(entry.startTime);
        }).observe({ type: 'paint', buffered: true });
    }));
    const times = await page.evaluate(() => window.startupTimes);
    if (calculate) {
        // Avalanche deals intelligence / 8 + 145: 157.5 at the start values.
        await page.locator('#listSpells [role=option]', { hasText: 'Avalanche' }).click();
        await page.click('#cmdCalculate');
        if (await page.inputValue('#dmg') !== '157.5') throw new Error(`${which}: no answer`);
    }
    await context.close();
    return { paint, shown: Math.max(paint, times.shown), ready: times.ready };
}

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = sorted.length / 2;
    return sorted.length % 2 ? sorted[Math.floor(middle)] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const times = Object.fromEntries(names.map((which) => [which, []]));
for (const which of names) {
    await timeStartUp(which); // unmeasured warm-up runs
}
for (let i = 0; i < runs; ++i) {
    // Each page in turn, starting one later in each round.
    for (let k = 0; k < names.length; ++k) {
        const which = names[(i + k) % names.length];
        times[which].push(await timeStartUp(which));
    }
}
for (const which of ['runetally', ...others]) {
    await timeStartUp(which, { calculate: true });
}
await browser.close();

const stat = (which, what) => {
    const values = times[which].map((t) => t[what]).filter((v) => v !== undefined);
    return values.length ? { median: median(values), low: Math.min(...values),
        high: Math.max(...values) } : null;
};
const shown = (s) => (s ? `${s.median.toFixed(1)} (${s.low.toFixed(1)} to ${s.high.toFixed(1)})`
    : '-');
console.log(`${runs} runs each, ms from navigation: median (lowest to highest)`);
for (const [which, { file }] of Object.entries(pages)) {
    const bytes = statSync(file).size;
    const gzipped = gzipSync(readFileSync(file), { level: 9 }).length;
    console.log(`${which}: paint ${shown(stat(which, 'paint'))}; shown ${shown(stat(which, 'shown'))}; ` +
        `ready ${shown(stat(which, 'ready'))}; ${bytes} bytes, ${gzipped} with gzip -9`);
}
const ratio = (what, a, b) => (stat(a, what).median / stat(b, what).median).toFixed(3);
console.log(`paint: runetally / floor ${ratio('paint', 'runetally', 'floor')}, ` +
    `static / floor ${ratio('paint', 'static', 'floor')}`);
console.log(`shown: runetally / floor ${ratio('shown', 'runetally', 'floor')}`);
console.log(`ready: runetally / floormarkup ${ratio('ready', 'runetally', 'floormarkup')}, ` +
    `runetally / floor ${ratio('ready', 'runetally', 'floor')}`);
for (const file of others) {
    console.log(`against ${file}: paint ${ratio('paint', 'runetally', file)}, shown ` +
        `${ratio('shown', 'runetally', file)}, ready ${ratio('ready', 'runetally', file)}`);
}
