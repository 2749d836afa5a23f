// Drives headless Firefox ESR for engines.py: puppeteer-core over WebDriver BiDi (geckodriver is
// not at hand). One JSON request a line on stdin, {op, args}; one answer a line on stdout,
// {ok, value} or {ok: false, error}. Downloads go without asking into the folder given as the
// only argument.
import puppeteer from 'puppeteer-core';
import readline from 'node:readline';

const downloads = process.argv[2];
const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.VARNHOLT_FIREFOX || '/usr/bin/firefox-esr',
    headless: true,
    extraPrefsFirefox: {
        'browser.download.dir': downloads,
        'browser.download.folderList': 2,
        'browser.download.useDownloadDir': true,
        'browser.download.always_ask_before_handling_new_types': false,
        'browser.helperApps.neverAsk.saveToDisk': 'application/octet-stream',
        'browser.download.start_downloads_in_tmp_dir': false,
        'browser.download.alwaysOpenPanel': false,
    },
});
const page = (await browser.pages())[0] || (await browser.newPage());

const operations = {
    ready: () => null,
    goto: (url) => page.goto(url).then(() => null),
    viewport: (width, height) => page.setViewport({width, height}),
    // A function body that reads `arguments`, as Selenium's execute_script takes it.
    evaluate: (body, args) =>
        page.evaluate(`(async function () {\n${body}\n}).apply(null, ${JSON.stringify(args)})`),
    upload: async (selector, path) => (await page.$(selector)).uploadFile(path),
    click: (selector) => page.click(selector),
    type: (text) => page.keyboard.type(text),
    screenshot: (path) => page.screenshot({path}),
    pid: () => browser.process().pid,
    close: () => browser.close(),
};

const answer = (reply) => process.stdout.write(JSON.stringify(reply) + '\n');
const lines = readline.createInterface({input: process.stdin});
for await (const line of lines) {
    const {op, args} = JSON.parse(line);
    try {
        const value = await operations[op](...args);
        answer({ok: true, value: value === undefined ? null : value});
    } catch (error) {
        answer({ok: false, error: String((error && error.stack) || error)});
    }
    if (op === 'close') break;
}
