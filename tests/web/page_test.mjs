// runetally.html in headless Chromium, opened from disk: what the web front end adds to the
// windows' commands, which are tested once against fake views. Run by ctest with
// RUNETALLY_PAGE (the page), RUNETALLY_NPM (where playwright-core is installed) and CHROMIUM.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const { chromium } = createRequire(`${process.env.RUNETALLY_NPM}/`)('playwright-core');
const pageUrl = pathToFileURL(process.env.RUNETALLY_PAGE).href;
const caption = "Velmoranth's Zelkor Runetally";
let browser;

before(async () => {
    browser = await chromium.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        args: ['--no-sandbox'],
    });
});
after(() => browser?.close());

// A page of its own, with its own storage. The browser's own boxes, errors in the page and a
// message box left open for five seconds fail the test; the watchdog closes that box, so that
// nothing waits for it.
async function openPage(t, { hash = '', locale = 'en-US', width = 1400, height = 900,
    phone = false } = {}) {
    const context = await browser.newContext({
        locale, viewport: { width, height }, acceptDownloads: true,
        ...(phone ? { isMobile: true, hasTouch: true, deviceScaleFactor: 2 } : {}),
    });
    // The page works with the network off, and asks nothing of it.
    await context.setOffline(true);
    const page = await context.newPage();
    page.setDefaultTimeout(5000);
    const problems = [];
    context.on('request', (r) => {
        if (!/^(file|data|blob):/.test(r.url())) problems.push(`network: ${r.url()}`);
    });
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('dialog', (d) => {
        problems.push(`unexpected ${d.type()}: ${d.message()}`);
        d.dismiss();
    });
    let openFor = 0;
    const watchdog = setInterval(async () => {
        const text = await page.evaluate(() => {
            const box = document.querySelector('dialog[open]');
            if (box && window.seenBox === box && ++window.boxAge >= 5) {
                box.close();
                return box.innerText;
            }
            window.boxAge = box && window.seenBox === box ? window.boxAge : 0;
            window.seenBox = box;
            return null;
        }).catch(() => null);
        if (text) problems.push(`message box left open: ${text}`);
    }, 1000);
    t.after(async () => {
        clearInterval(watchdog);
        await context.close();
        assert.deepEqual(problems, []);
    });
    await page.goto(pageUrl + hash);
    await page.locator('#varInt').waitFor();
    await ready(page);
    return page;
}

// The window is in the page before the program runs; the program has loaded it once the page
// is no longer loading.
const ready = (page) => page.locator('html:not(.loading)').waitFor({ state: 'attached' });

const focused = (page) => page.evaluate(() => document.activeElement.id);

// The open message box: its caption, text and buttons.
async function messageBox(page) {
    const box = page.locator('dialog[open]');
    await box.waitFor();
    return {
        caption: await box.locator('.caption').innerText(),
        text: await box.locator('.text').innerText(),
        buttons: await box.locator('button').allInnerTexts(),
    };
}

async function answer(page, button) {
    await page.locator('dialog[open] button', { hasText: button }).click();
    await page.locator('dialog').waitFor({ state: 'detached' });
}

async function boxes(page) {
    return page.evaluate(() => Array.from(document.querySelectorAll('[data-form=frmMain] input'),
        (box) => `${box.id}=${box.value}`));
}

async function chooseSpell(page, name) {
    await page.locator('#listSpells [role=option]', { hasText: name }).click();
}

test('the page opens with the window as described, the focus on the first stop', async (t) => {
    const page = await openPage(t);
    assert.equal(await page.title(), caption);
    assert.equal(await page.locator('#frmMain-caption').innerText(), caption);
    assert.deepEqual(await boxes(page), ['varWis=100', 'varInt=100', 'varResist=100',
        'powerLight=100', 'powerEarth=100', 'powerFire=100', 'powerAir=100', 'powerWater=100',
        'powerDark=100', 'varLevel=99', 'dmg=0']);
    assert.equal(await page.locator('#listSpells [role=option]').count(), 41);
    assert.equal(await page.locator('#listSpells [aria-selected=true]').count(), 0);
    assert.equal(await focused(page), 'varResist');
    assert.equal(await page.locator('#dmg').getAttribute('readonly'), '');
    // Twips become CSS pixels, 15 to one: the client area is 9330 x 7140 twips.
    const client = await page.locator('[data-form=frmMain] .client').boundingBox();
    assert.deepEqual([client.width, client.height], [622, 476]);
});

test('Tab follows the focus order and wraps, Shift+Tab goes back', async (t) => {
    const page = await openPage(t);
    const order = ['varWis', 'varInt', 'powerLight', 'powerEarth', 'powerFire', 'powerAir',
        'powerWater', 'powerDark', 'listSpells', 'dmg', 'cmdCalculate', 'varLevel', 'varResist'];
    const seen = [];
    for (let i = 0; i < order.length; ++i) {
        await page.keyboard.press('Tab');
        seen.push(await focused(page));
    }
    assert.deepEqual(seen, order);
    await page.keyboard.press('Shift+Tab');
    assert.equal(await focused(page), 'varLevel');
});

test('a calculation from the keyboard shows the damage with the browser\'s separator', async (t) => {
    for (const [locale, air, shown] of [['en-US', '16', '62.5'], ['de-DE', '32', '31,25']]) {
        const page = await openPage(t, { locale });
        // Electric Shield deals 1000 divided by the air power.
        await page.fill('#powerAir', air);
        await page.focus('#listSpells');
        await page.keyboard.press('e'); // Earthquake, the first spell with E
        await page.keyboard.press('e'); // Electric Shield, the next
        assert.equal(await page.locator('#listSpells [aria-selected=true]').innerText(),
            'Electric Shield');
        await page.focus('#cmdCalculate');
        await page.keyboard.press('Enter');
        assert.equal(await page.inputValue('#dmg'), shown, locale);
    }
});

test('typing in the spell list goes to the spell whose name starts with what was typed', async (t) => {
    const page = await openPage(t);
    const chosen = () => page.locator('#listSpells [aria-selected=true]').innerText();
    await page.focus('#listSpells');
    for (const [typed, spell] of [['Met', 'Meteor'], ['ice sh', 'Ice Shard'], ['meteor', 'Meteor'],
        ['t', 'Tornado'], ['t', 'Tsunami']]) {
        await page.waitForTimeout(1100); // a pause ends what was typed before
        await page.keyboard.type(typed);
        assert.equal(await chosen(), spell, typed);
    }
});

test('a failed calculation tells why in a modal box, changes nothing and gives the focus back', async (t) => {
    const page = await openPage(t);
    await page.fill('#varInt', 'abc');
    await chooseSpell(page, 'Fireball');
    const before = await boxes(page);
    await page.click('#cmdCalculate');
    assert.deepEqual(await messageBox(page), {
        caption: 'Runetally', text: 'The text in "Inteligence" is not a number.', buttons: ['OK'],
    });
    assert.equal(await page.evaluate(() => document.querySelector('dialog[open]').matches(':modal')),
        true);
    await page.keyboard.press('Escape');
    await page.locator('dialog').waitFor({ state: 'detached' });
    assert.deepEqual(await boxes(page), before);
    assert.equal(await focused(page), 'cmdCalculate');
});

test('Reset, Help Me and About run from the menus, by mouse and by Alt and access keys', async (t) => {
    const page = await openPage(t);
    await page.keyboard.press('Alt+f');
    assert.equal(await page.locator('#mnuFile').getAttribute('aria-expanded'), 'true');
    assert.equal(await focused(page), 'mnuOpen');
    await page.keyboard.press('r');
    assert.deepEqual(new Set((await boxes(page)).map((b) => b.split('=')[1])), new Set(['0']));
    assert.equal(await focused(page), 'varResist');

    await page.keyboard.press('Alt+h');
    await page.keyboard.press('m');
    assert.equal((await messageBox(page)).text, 'Sorry, but this feature is not implemented yet');
    await answer(page, 'OK');

    await page.click('#mnuHelp');
    await page.click('#mnuAbout');
    const about = page.locator('[data-form=frmAbout]');
    assert.equal(await about.getAttribute('role'), 'dialog');
    assert.equal(await page.locator('#frmAbout-caption').innerText(), 'About Runetally');
    assert.equal(await page.locator('#lblTitle').innerText(), 'Runetally');
    assert.equal(await page.locator('#lblVersion').innerText(), 'Version 1.0.0');
    assert.equal(await focused(page), 'cmdOK');
    await page.keyboard.press('Alt+s'); // System Info: what the browser says of itself
    const info = await messageBox(page);
    assert.match(info.text, /^Browser: Chrome \d+[.\d]*\nOperating system: Linux\nLanguage: en-US\n/);
    assert.match(info.text, /\nScreen: \d+ x \d+ pixels\nPixel ratio: 1$/);
    await answer(page, 'OK');
    assert.equal(await focused(page), 'cmdOK');
    await page.keyboard.press('Escape'); // the cancel button, OK
    await about.waitFor({ state: 'detached' });
});

test('the About icon is drawn from its description, one canvas pixel for each of its own', async (t) => {
    const page = await openPage(t);
    await page.click('#mnuHelp');
    await page.click('#mnuAbout');
    const pixels = await page.evaluate(() => {
        const canvas = document.querySelector('#picIcon canvas');
        const at = (x, y) => Array.from(canvas.getContext('2d').getImageData(x, y, 1, 1).data);
        return [[canvas.width, canvas.height], at(12, 1), at(4, 11), at(13, 3), at(14, 3), at(0, 0)];
    });
    // Rows 1, 11 and 3 of the picture: a black edge, the yellow lid, lime and green; the corner
    // is clear.
    assert.deepEqual(pixels, [[32, 32], [0, 0, 0, 255], [255, 255, 0, 255], [0, 255, 0, 255],
        [0, 128, 0, 255], [0, 0, 0, 0]]);
});

test('the planner follows the main window as it is edited', async (t) => {
    const page = await openPage(t);
    await chooseSpell(page, 'Meteor');
    await page.keyboard.press('Control+p');
    const marked = page.locator('#lvwSpells [role=row] strong');
    await marked.waitFor();
    assert.equal(await marked.innerText(), 'Meteor');
    assert.equal(await page.locator('#lvwSpells [role=row][title]').getAttribute('title'),
        'selected in the main window');
    await chooseSpell(page, 'Tornado');
    assert.equal(await marked.innerText(), 'Tornado');
    await page.fill('#varWis', 'x');
    assert.equal(await page.locator('#lblStatus').innerText(),
        'The text in "Wisdom" is not a number.');
    // Only the spells that need wisdom show it; the others keep their figures.
    assert.equal(await page.locator('#lvwSpells .body [role=row]').count(), 41);
    await page.fill('#varWis', '100');
    assert.equal(await page.locator('#lvwSpells .body [role=row]').count(), 41);
    assert.equal(await page.locator('#picChart svg polyline').count() > 0, true);
    // The second line is dashed, so that it shows where the two are equal.
    assert.equal(await page.locator('#picChart svg polyline[stroke-dasharray]').count() > 0, true);
    assert.equal(await page.locator('#picChart svg text', { hasText: /^Damage$/ }).count(), 1);
});

test('the planner\'s columns fit their captions and numbers, exponents and all', async (t) => {
    const page = await openPage(t);
    await page.fill('#varInt', '1e17');
    await page.keyboard.press('Control+p');
    await page.locator('#lvwSpells .body [role=row]').first().waitFor();
    const hidden = await page.evaluate(() => Array.from(
        document.querySelectorAll('#lvwSpells .cell, #lvwInputs .cell'))
        .filter((cell) => cell.scrollWidth > cell.clientWidth + 1)
        .map((cell) => cell.textContent));
    assert.deepEqual(hidden, []);
    const cells = await page.locator('#lvwSpells .body .cell').allInnerTexts();
    assert.ok(cells.some((text) => /E\+1\d$/.test(text)), cells.join(' '));
});

test('Copy Link carries the character, and the link opens it again', async (t) => {
    const page = await openPage(t);
    await page.fill('#varInt', '123.5');
    await page.fill('#varLevel', 'sixty');
    await chooseSpell(page, 'Avalanche');
    await page.evaluate(() => document.addEventListener('copy', (e) => {
        window.copied = e.clipboardData.getData('text/plain');
    }));
    await page.click('#mnuFile');
    await page.click('#mnuCopyLink');
    const link = await page.evaluate(() => window.copied);
    assert.equal(link.split('#')[0], pageUrl);
    const fragment = link.split('#')[1];
    assert.match(fragment, /^c=[A-Za-z0-9_-]+$/);
    const file = JSON.parse(Buffer.from(fragment.slice(2), 'base64url').toString('utf8'));
    assert.equal(file.format, 'runetally-character');
    assert.equal(file.spell, 'Avalanche');
    assert.equal(file.inputs.int, '123.5');
    assert.equal(file.inputs.level, 'sixty');

    const again = await openPage(t, { hash: `#${fragment}`, locale: 'de-DE' });
    await again.locator('#frmMain-caption', { hasText: 'link' }).waitFor();
    assert.equal(await again.locator('#frmMain-caption').innerText(), `link - ${caption}`);
    assert.equal(await again.inputValue('#varInt'), '123,5'); // the reader's separator
    assert.equal(await again.inputValue('#varLevel'), 'sixty');
    assert.equal(await again.locator('#listSpells [aria-selected=true]').innerText(), 'Avalanche');
});

test('a link whose fragment holds no character file gives the file check\'s message', async (t) => {
    const notJson = Buffer.from('not json').toString('base64url');
    const page = await openPage(t, { hash: `#c=${notJson}` });
    assert.deepEqual(await messageBox(page), {
        caption: 'Runetally',
        text: 'link.rtchar is not a Runetally character: it is not JSON',
        buttons: ['OK'],
    });
    await answer(page, 'OK');
    assert.equal(await page.locator('#frmMain-caption').innerText(), caption);
});

test('Save As downloads the file; opening another asks first, then reads the chosen file', async (t) => {
    const page = await openPage(t);
    await page.keyboard.press('Alt+f');
    await page.keyboard.press('a');
    await page.locator('dialog[open] input').fill('thalia');
    const [download] = await Promise.all([page.waitForEvent('download'),
        page.keyboard.press('Enter')]);
    assert.equal(download.suggestedFilename(), 'thalia.rtchar');
    assert.equal(await page.title(), `thalia - ${caption}`);

    await page.fill('#varWis', '5');
    // Listening first: the browser intercepts the picker only once told to.
    const picker = page.waitForEvent('filechooser');
    await page.keyboard.press('Control+o');
    assert.equal((await messageBox(page)).text, 'Save changes to thalia?');
    await page.keyboard.press('n');
    const chooser = await picker;
    await chooser.setFiles({
        name: 'other.rtchar', mimeType: 'application/octet-stream',
        buffer: Buffer.from('{"format": "runetally-character", "version": 1, "spell": "", ' +
            '"inputs": {"level": "1", "int": "2", "wis": "3", "resist": "4", "light": "5", ' +
            '"earth": "6", "fire": "7", "air": "8", "water": "9", "dark": "10"}}'),
    });
    await page.locator('#frmMain-caption', { hasText: 'other' }).waitFor();
    assert.equal(await page.inputValue('#varWis'), '3');
    // The recent list names both, the last opened first, and lives on in the browser.
    await page.reload();
    await page.locator('#varInt').waitFor();
    assert.deepEqual(await page.locator('#mnuFile-items [role=menuitem]:not([hidden]) .label')
        .allInnerTexts(), ['Open Character...', 'Save Character', 'Save Character As...', '1 other.rtchar',
        '2 thalia.rtchar', 'Copy Link', 'Reset', 'Exit']);
});

test('an unsaved edit stars the caption; Ctrl+Shift+S is Save As, Ctrl+S saves', async (t) => {
    const page = await openPage(t);
    await drop(page, 'thalia.rtchar', character('3'));
    await page.locator('#frmMain-caption', { hasText: 'thalia' }).waitFor();
    assert.equal(await page.title(), `thalia - ${caption}`);
    await page.fill('#varWis', '5');
    assert.equal(await page.title(), `*thalia - ${caption}`);
    assert.equal(await page.locator('#mnuSaveAs').getAttribute('aria-keyshortcuts'), 'Control+Shift+S');
    await page.keyboard.press('Control+Shift+S');
    assert.equal((await messageBox(page)).text, 'Save the character as');
    await answer(page, 'Cancel');
    assert.deepEqual(await downloaded(page, () => page.keyboard.press('Control+s')), ['thalia.rtchar', '5']);
    assert.equal(await page.title(), `thalia - ${caption}`);
});

test('Exit closes every window and says how to start again', async (t) => {
    const page = await openPage(t);
    await page.keyboard.press('Control+p');
    await page.locator('[data-form=frmPlanner]').waitFor();
    await page.click('#mnuFile');
    await page.click('#mnuExit');
    assert.equal(await page.locator('[data-form]').count(), 0);
    assert.equal(await page.locator('body').innerText(),
        'Runetally has closed. Reload the page to start again.');
});

test('a screen narrower than the window lays it out in one column', async (t) => {
    const page = await openPage(t, { width: 320 });
    const box = await page.locator('[data-form=frmMain]').boundingBox();
    assert.ok(box.x >= 0 && box.x + box.width <= 320, JSON.stringify(box));
    await page.locator('#cmdCalculate').tap().catch(() => page.click('#cmdCalculate'));
});

// What lies outside the screen's width, what is too small for a finger or too small to read,
// and whether the page scrolls sideways.
async function phoneProblems(page, form) {
    return page.evaluate((form) => {
        const problems = [];
        const width = screen.width; // a window past the edge widens innerWidth on a phone
        if (document.documentElement.scrollWidth > width) problems.push('the page scrolls sideways');
        for (const e of document.querySelectorAll(`[data-form=${form}] :is(.client > *, .close)`)) {
            const box = e.getBoundingClientRect();
            if (box.width === 0) continue; // hidden
            const name = e.id || e.className;
            if (box.left < 0 || box.right > width) problems.push(`${name} outside`);
            if (e.matches('input, select, button, [tabindex]') && box.height < 44) {
                problems.push(`${name} ${box.height} high`);
            }
            if (parseFloat(getComputedStyle(e).fontSize) < 16) problems.push(`${name} small text`);
        }
        return problems;
    }, form);
}

test('on a phone: a calculation, the planner and a character, in one column', async (t) => {
    for (const [width, height] of [[360, 640], [390, 844]]) {
        const page = await openPage(t, { width, height, phone: true });
        assert.deepEqual(await phoneProblems(page, 'frmMain'), [], `${width}x${height}`);
        // The boxes in Tab order, each under its caption; then the list, the button, the result.
        const order = await page.evaluate(() => Array.from(
            document.querySelectorAll('[data-form=frmMain] .client > :not(.line)'))
            .sort((a, b) => a.getBoundingClientRect().top - b.getBoundingClientRect().top)
            .map((e) => e.id).filter((id) => !id.startsWith('Label')));
        assert.deepEqual(order, ['varResist', 'varWis', 'varInt', 'powerLight', 'powerEarth',
            'powerFire', 'powerAir', 'powerWater', 'powerDark', 'varLevel', 'listSpells',
            'cmdCalculate', 'dmg']);
        // Electric Shield deals 1000 divided by the air power.
        await page.locator('#powerAir').tap();
        await page.fill('#powerAir', '16');
        await page.locator('#listSpells [role=option]', { hasText: 'Electric Shield' }).tap();
        await page.locator('#cmdCalculate').tap();
        assert.equal(await page.inputValue('#dmg'), '62.5');

        await page.locator('#mnuTools').tap();
        await page.locator('#mnuPlanner').tap();
        await page.locator('#lvwSpells .body [role=row]').first().waitFor();
        assert.deepEqual(await phoneProblems(page, 'frmPlanner'), [], `${width}x${height}`);
        // About's description places it 148 pixels from the page's left: in the column all the same.
        await page.locator('#mnuHelp').tap();
        await page.locator('#mnuAbout').tap();
        assert.deepEqual(await phoneProblems(page, 'frmAbout'), [], `About ${width}x${height}`);
        await page.locator('#cmdOK').tap();

        await page.locator('#mnuFile').tap();
        await page.locator('#mnuSaveAs').tap();
        await page.locator('dialog[open] input').fill('thalia');
        assert.ok((await page.locator('dialog[open]').boundingBox()).width <= width);
        const [download] = await Promise.all([page.waitForEvent('download'),
            page.locator('dialog[open] button', { hasText: 'Save' }).tap()]);
        assert.equal(download.suggestedFilename(), 'thalia.rtchar');
        await page.fill('#varWis', '5');
        const picker = page.waitForEvent('filechooser');
        await page.locator('#mnuFile').tap();
        await page.locator('#mnuOpen').tap();
        await answer(page, 'No');
        await (await picker).setFiles({ name: 'thalia.rtchar', mimeType: 'application/octet-stream',
            buffer: fs.readFileSync(await download.path()) });
        await page.locator('#frmMain-caption', { hasText: 'thalia' }).waitFor();
        assert.equal(await page.inputValue('#varWis'), '100');
    }
});

test('a wide screen keeps the windows where the description puts them', async (t) => {
    const page = await openPage(t);
    assert.equal(await page.locator('.form.column').count(), 0);
    const box = await page.locator('#cmdCalculate').boundingBox();
    // 5160 and 360 twips from the client's corner, 15 to a pixel: 344 and 24.
    const client = await page.locator('[data-form=frmMain] .client').boundingBox();
    assert.deepEqual([box.x - client.x, box.y - client.y, box.width, box.height], [344, 24, 193, 57]);
    // Every control of both windows where its own markup puts it, at a laptop's 1280x800 too:
    // nothing the phone's style sheet says reaches a wide screen.
    await page.setViewportSize({ width: 1280, height: 800 });
    await page.keyboard.press('Control+p');
    await page.locator('#lvwSpells .body [role=row]').first().waitFor();
    const moved = await page.evaluate(() => Array.from(document.querySelectorAll('.client > [id]'))
        .filter((e) => {
            if (!e.getClientRects().length) return false; // a hidden control
            const at = e.getBoundingClientRect();
            const client = e.parentElement.getBoundingClientRect();
            const [x, y, width, height] = ['left', 'top', 'width', 'height']
                .map((side) => parseFloat(e.style[side]));
            return at.x - client.x !== x || at.y - client.y !== y || at.width !== width ||
                at.height !== height;
        }).map((e) => e.id));
    assert.deepEqual(moved, []);
});

test('every control has its accessible name, and the menus are an ARIA menubar', async (t) => {
    const page = await openPage(t);
    const named = [['textbox', 'Wisdom', 'varWis'], ['textbox', 'Inteligence', 'varInt'],
        ['textbox', 'Target Elemental Resist', 'varResist'], ['textbox', 'Light Power', 'powerLight'],
        ['textbox', 'Earth Power', 'powerEarth'], ['textbox', 'Fire Power', 'powerFire'],
        ['textbox', 'Air Power', 'powerAir'], ['textbox', 'Water Power', 'powerWater'],
        ['textbox', 'Dark Power', 'powerDark'], ['textbox', 'Level', 'varLevel'],
        ['textbox', 'DAMAGE', 'dmg'], ['listbox', 'Spells', 'listSpells'],
        ['button', 'Calculate The Damage', 'cmdCalculate'], ['menubar', caption, null],
        ['menuitem', 'File', 'mnuFile'], ['menuitem', 'Tools', 'mnuTools'],
        ['menuitem', 'Help', 'mnuHelp']];
    for (const [role, name, id] of named) {
        const found = page.getByRole(role, { name, exact: true });
        assert.equal(await found.count(), 1, `${role} "${name}"`);
        if (id) assert.equal(await found.getAttribute('id'), id);
    }
    assert.equal(await page.locator('#mnuFile').getAttribute('aria-keyshortcuts'), 'Alt+f');
    await page.keyboard.press('Control+p');
    await page.getByRole('grid', { name: 'Spells' }).waitFor();
    for (const [role, name] of [['combobox', 'Input'], ['textbox', 'Step'],
        ['grid', 'Inputs of the selected spell'], ['img', 'Damage chart']]) {
        assert.equal(await page.getByRole(role, { name }).count(), 1, `${role} ${name}`);
    }
});

// A character file whose Wisdom is `wis`, and a link that carries a file's text.
const character = (wis) => JSON.stringify({ format: 'runetally-character', version: 1, spell: '',
    inputs: { level: '1', int: '2', wis, resist: '4', light: '5', earth: '6', fire: '7', air: '8',
        water: '9', dark: '10' } });
const linkTo = (text) => `#c=${Buffer.from(text).toString('base64url')}`;
const follow = (page, text) => page.evaluate((hash) => { location.hash = hash; }, linkTo(text));

// Drags a file over what `selector` finds and drops it there; whether the page took the drag.
const drop = (page, name, text, selector = 'body') => page.evaluate(([name, text, selector]) => {
    const dataTransfer = new DataTransfer(), target = document.querySelector(selector);
    dataTransfer.items.add(new File([text], name));
    const [over, drop] = ['dragover', 'drop'].map((type) =>
        new DragEvent(type, { dataTransfer, bubbles: true, cancelable: true }));
    target.dispatchEvent(over);
    target.dispatchEvent(drop);
    return over.defaultPrevented;
}, [name, text, selector]);

// The Wisdom of each copy the page keeps, by name; of the file that `save` downloads.
const copies = (page) => page.evaluate(() => Object.fromEntries(Object.keys(localStorage)
    .filter((key) => key.startsWith('runetally.file:'))
    .map((key) => [key.slice(15), JSON.parse(localStorage.getItem(key)).inputs.wis])));
async function downloaded(page, save) {
    const [file] = await Promise.all([page.waitForEvent('download'), save()]);
    return [file.suggestedFilename(), JSON.parse(fs.readFileSync(await file.path())).inputs.wis];
}

test('a full storage: a save still downloads and says so; a file dropped opens as it is', async (t) => {
    const page = await openPage(t);
    await drop(page, 'thalia.rtchar', character('3'));
    await page.locator('#frmMain-caption', { hasText: 'thalia' }).waitFor();
    // Junk up to the quota, to within a character; again once a copy has been let go.
    const fill = () => page.evaluate(() => {
        for (let size = 1 << 24, i = localStorage.length; size > 0;) {
            try { localStorage.setItem(`junk${i}`, 'x'.repeat(size)); ++i; } catch { size >>= 1; }
        }
    });
    const full = 'Could not keep a copy of thalia.rtchar in this browser: its storage is full';
    await fill();
    await drop(page, 'thalia.rtchar', character('7') + ' '.repeat(999)); // larger than the copy
    assert.equal((await messageBox(page)).text, full);
    await answer(page, 'OK');
    assert.equal(await page.inputValue('#varWis'), '7');
    assert.deepEqual(await copies(page), {}); // the older copy would stand for the file
    await page.fill('#varWis', '11');
    await fill();
    const saved = downloaded(page, () => page.keyboard.press('Control+s'));
    assert.equal((await messageBox(page)).text, full);
    await answer(page, 'OK');
    assert.deepEqual(await saved, ['thalia.rtchar', '11']);
    await page.evaluate(() => localStorage.clear());
});

test('Yes to saving first saves the edited character, then opens the link or file given', async (t) => {
    for (const [name, give] of [['link', follow],
        ['thalia', (page, text) => drop(page, 'thalia.rtchar', text)]]) {
        const page = await openPage(t);
        await give(page, character('3'));
        await page.locator('#frmMain-caption', { hasText: name }).waitFor();
        await page.fill('#varWis', '5');
        await give(page, character('7'));
        assert.equal((await messageBox(page)).text, `Save changes to ${name}?`);
        assert.deepEqual(await downloaded(page, () => answer(page, 'Yes')), [`${name}.rtchar`, '5']);
        assert.equal(await page.inputValue('#varWis'), '7', name);
        assert.deepEqual(await copies(page), { [`${name}.rtchar`]: '7' });
    }
});

test('a file dropped on a window opens; only what the window opens is kept', async (t) => {
    const page = await openPage(t, { hash: linkTo(character('9')) });
    await page.keyboard.press('Control+p');
    await page.locator('#lvwSpells').waitFor();
    const kept = { 'link.rtchar': '9' };
    for (const [i, selector] of ['#varInt', '#listSpells', '#lvwSpells'].entries()) {
        assert.equal(await drop(page, `${i}.rtchar`, character(`${i}`), selector), true, selector);
        await page.locator('#frmMain-caption', { hasText: `${i} -` }).waitFor();
        kept[`${i}.rtchar`] = `${i}`;
    }
    for (const [name, give] of [['link', () => follow(page, 'not json')],
        ['bad', () => drop(page, 'bad.rtchar', 'not json')]]) {
        await give();
        assert.equal((await messageBox(page)).text,
            `${name}.rtchar is not a Runetally character: it is not JSON`);
        await answer(page, 'OK');
    }
    const picker = page.waitForEvent('filechooser');
    await page.click('#cmdCompare'); // a character compared is not opened
    await (await picker).setFiles({ name: 'b.rtchar', mimeType: 'application/octet-stream',
        buffer: Buffer.from(character('8')) });
    await page.locator('#cmdStopCompare:visible').waitFor();
    assert.deepEqual(await copies(page), kept);
});

// The page as the build wrote it, changed.
function pageVariant(t, change) {
    const file = `${process.env.RUNETALLY_PAGE}.${process.pid}.${Math.random()}.html`;
    fs.writeFileSync(file, change(fs.readFileSync(process.env.RUNETALLY_PAGE, 'utf8')));
    t.after(() => fs.rmSync(file));
    return pathToFileURL(file).href;
}

// Every element of the main window: what it is, its names and texts, and the Tab order.
async function mainWindowShape(page) {
    const elements = await page.evaluate(() => Array.from(
        document.querySelectorAll('[data-form=frmMain], [data-form=frmMain] *'), (e) => [
            e.tagName, e.id, e.getAttribute('class'), e.getAttribute('role'),
            e.getAttribute('tabindex'), e.getAttribute('aria-label'),
            e.getAttribute('aria-labelledby'), e.getAttribute('for'), e.style?.cssText,
            e.childElementCount ? '' : e.textContent, e.value ?? '',
        ].join('|')));
    const order = [];
    for (let i = 0; i < 13; ++i) {
        await page.keyboard.press('Tab');
        order.push(await focused(page));
    }
    return { elements, order, title: await page.title() };
}

test('the window the build wrote is the window the program makes', async (t) => {
    const written = await openPage(t);
    const made = await openPage(t);
    const noWindow = pageVariant(t, (html) => html.replace(/<section class="form"[^]*?<\/section>/, ''));
    assert.notEqual(noWindow, pageUrl);
    await made.goto(noWindow);
    await ready(made);
    const shape = await mainWindowShape(written);
    assert.ok(shape.elements.length > 100, `${shape.elements.length} elements`);
    assert.deepEqual(await mainWindowShape(made), shape);
});

test('what the player does before the program runs is kept, and runs once it does', async (t) => {
    const page = await openPage(t);
    // The WebAssembly compiles only once the test lets it: the window is there, the program not.
    await page.addInitScript(() => {
        const compile = WebAssembly.instantiateStreaming;
        const held = new Promise((resolve) => { window.releaseProgram = resolve; });
        WebAssembly.instantiateStreaming = (...args) =>
            held.then(() => compile.apply(WebAssembly, args));
    });
    await page.goto(pageUrl);
    assert.equal(await page.locator('html.loading').count(), 1);
    // The captions come fitted as the browser fits them: nothing moves once the program runs.
    const captionSizes = () => page.evaluate(() => Array.from(
        document.querySelectorAll('[data-form=frmMain] label'), (l) => getComputedStyle(l).fontSize));
    const written = await captionSizes();
    // Avalanche deals intelligence / 8 + 145 at the other boxes' defaults: 500 / 8 + 145.
    await page.fill('#varInt', '500');
    await chooseSpell(page, 'Avalanche');
    await page.click('#cmdCalculate');
    await page.keyboard.press('Control+p');
    assert.equal(await page.inputValue('#dmg'), '0');
    assert.equal(await page.locator('[data-form=frmPlanner]').count(), 0);
    await page.evaluate(() => window.releaseProgram());
    await ready(page);
    assert.equal(await page.inputValue('#varInt'), '500');
    assert.equal(await page.inputValue('#dmg'), '207.5');
    assert.deepEqual(await captionSizes(), written);
    await page.locator('[data-form=frmPlanner]').waitFor();
});
