// Start-up of runetally.html against the floor page, in headless Chromium, each opened from disk
// in a fresh context: the time from navigation to the first contentful paint, the paint of the
// main window with its boxes filled (the page shows nothing before its module has run, and the
// window's boxes hold their texts before it is put in the page), against the floor's one input
// box. Alternating runs; medians. Other builds of the page, given after the runs, take their
// turn in the same alternation and are compared with this build's.
//
//   node bench/web/startup.mjs [BUILD_FOLDER] [RUNS] [OTHER_PAGE...]
//                                                         (after cmake --build --preset web)
import { createRequire } from 'node:module';
import { statSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const build = resolve(process.argv[2] || 'build-web');
const runs = Number(process.argv[3] || 20);
const { chromium } = createRequire(`${build}/npm/`)('playwright-core');
const others = process.argv.slice(4).map((file) => resolve(file));
const pages = {
    floor: { file: `${build}/bench/web/floor.html`, ready: '#floor' },
    runetally: { file: `${build}/web/runetally.html`, ready: '#varLevel' },
    ...Object.fromEntries(others.map((file) => [file, { file, ready: '#varLevel' }])),
};
const names = Object.keys(pages);

const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: ['--no-sandbox'],
});

async function timeToWindow(which) {
    const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
    const page = await context.newPage();
    await page.goto(pathToFileURL(pages[which].file).href);
    await page.locator(pages[which].ready).waitFor();
    const paint = await page.evaluate(() => new Promise((done) => {
        new PerformanceObserver((list) => {
            const entry = list.getEntriesByName('first-contentful-paint')[0];
            if (entry) done(entry.startTime);
        }).observe({ type: 'paint', buffered: true });
    }));
    if (which !== 'floor' && await page.inputValue('#varLevel') !== '99') {
        throw new Error('the main window shows no inputs');
    }
    await context.close();
    return paint;
}

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = sorted.length / 2;
    return sorted.length % 2 ? sorted[Math.floor(middle)] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const times = Object.fromEntries(names.map((which) => [which, []]));
for (const which of names) {
    await timeToWindow(which); // unmeasured warm-up runs
}
for (let i = 0; i < runs; ++i) {
    // Each page in turn, starting one later in each round.
    for (let k = 0; k < names.length; ++k) {
        const which = names[(i + k) % names.length];
        times[which].push(await timeToWindow(which));
    }
}
await browser.close();

for (const [which, { file }] of Object.entries(pages)) {
    const bytes = statSync(file).size;
    const gzipped = gzipSync(readFileSync(file), { level: 9 }).length;
    console.log(`${which}: median ${median(times[which]).toFixed(1)} ms over ${runs} runs ` +
        `(${Math.min(...times[which]).toFixed(1)} to ${Math.max(...times[which]).toFixed(1)}); ` +
        `${bytes} bytes, ${gzipped} with gzip -9`);
}
console.log(`ratio: ${(median(times.runetally) / median(times.floor)).toFixed(3)}`);
for (const file of others) {
    console.log(`ratio to ${file}: ${(median(times.runetally) / median(times[file])).toFixed(3)}`);
}
