// Measures the transfer grid with 10,000 documents in Chromium (not run by test.sh):
//   - opening the transfer page: side-bar click to the first rows in the page, and to the grid
//     with every row (and the next frame), with the request's size and the server's shares;
//   - one cell's choice changed with the mouse (the list pressed and focused first): change to the
//     cell showing the answer;
//   - an action that leaves the grid as it was (a refused choice), with and without the rows the
//     browser holds named in the request: the answer's size;
//   - scrolling the whole grid by steps, one step a frame: frames longer than 16.7 ms; and 200
//     steps on from the middle of the grid, a while after jumping there. A script moves the rows
//     half a view a frame (about 13,000 px/s) on the page's own thread: harder than any person's
//     scrolling, and the browser's compositor cannot take it over;
//   - scrolling with the mouse wheel, as soon as every row is in the page and a while later, at a
//     quick turn's speed and a fling's (WHEEL_SPEEDS=px/s,... chooses others): the frames Chromium
//     reports dropped, and the frames drawn with rows in view not drawn yet.
//
//   node tests/e2e/perf/grid.mjs [path/to/zovrena]     (default build/debug/src/zovrena)

import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { chromium } from "playwright-core";

import { openProgramIn, startHost } from "../own_host.mjs";

const binary = process.argv[2] ?? "build/debug/src/zovrena";
const company = 2;
const documents = 10000;
const saved = 2000;
const edits = 10;
const settle = 20000;
const jumpPause = 5000;
// A quick turn of the mouse wheel, and a fling.
const wheelSpeeds = process.env.WHEEL_SPEEDS ? process.env.WHEEL_SPEEDS.split(",").map(Number) : [2000, 6000];

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = Math.floor(sorted.length / 2);
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const f = (value) => value.toFixed(1);

// In the page: runs `act`, waits frame by frame until `done` holds, then one frame more; returns
// the time to the elements updated, to the frame drawn, and the last action request's figures.
async function timed(page, act, done, argument) {
    return page.evaluate(
        async ({ act, done, argument }) => {
            const perform = new Function("argument", act);
            const finished = new Function("argument", done);
            performance.clearResourceTimings();
            const start = performance.now();
            perform(argument);
            while (!finished(argument)) {
                await new Promise((resolve) => requestAnimationFrame(resolve));
            }
            const updated = performance.now() - start;
            await new Promise((resolve) => requestAnimationFrame(resolve));
            const drawn = performance.now() - start;
            const written = window.zovrenaWritten;
            const request = performance
                .getEntriesByType("resource")
                .filter((entry) => entry.name.includes("/action"))
                .pop();
            const timing = (name) => request?.serverTiming.find((t) => t.name === name)?.duration ?? NaN;
            return {
                written,
                updated,
                drawn,
                bytes: request ? request.decodedBodySize : NaN,
                answered: request ? request.responseEnd - start : NaN,
                action: timing("action"),
                host: timing("host"),
            };
        },
        { act, done, argument },
    );
}

async function openWindow(page) {
    await openProgramIn(page, host.url, company);
    await page.locator('[data-item="ITM_PRT_TRPERS"]').waitFor();
}

// Shows the window afresh and waits for every row of the grid in the page.
async function reloadWhole(page) {
    await page.reload();
    await page.waitForFunction(
        (count) => document.querySelectorAll('[data-grid="GRD_TRPERS"] [data-grid-row]').length >= count,
        documents,
    );
}

async function measureOpen(page) {
    // The first rows come at once, the others while the page goes on drawing frames.
    const first = page.evaluate(async () => {
        const start = performance.now();
        while (document.querySelector('[data-grid="GRD_TRPERS"] [data-grid-row]') === null) {
            await new Promise((resolve) => requestAnimationFrame(resolve));
        }
        const updated = performance.now() - start;
        await new Promise((resolve) => requestAnimationFrame(resolve));
        return { updated, drawn: performance.now() - start };
    });
    const opened = await timed(
        page,
        `document.querySelector('[data-item="ITM_PRT_TRPERS"]').click();`,
        `return document.querySelectorAll('[data-grid="GRD_TRPERS"] [data-grid-row]').length >= argument;`,
        documents,
    );
    const shown = await first;
    const rows = await page.locator('[data-grid="GRD_TRPERS"] [data-grid-row]').count();
    console.log(`opening the transfer page (${rows} rows) [ms]`);
    console.log(`  first rows in the page ${f(shown.updated)}, frame drawn ${f(shown.drawn)}`);
    console.log(
        `  every row in the page ${f(opened.updated)}, frame drawn ${f(opened.drawn)}; answer received ${f(opened.answered)} ` +
            `(${opened.bytes} bytes); server: program ${f(opened.action)}, whole request ${f(opened.host)}`,
    );
}

async function measureEdits(page) {
    const samples = [];
    for (let i = 0; i < edits; i += 1) {
        const row = `B${100000 + 1 + i * 97}`;
        // A click on the list presses it and gives it the focus before the person picks a choice.
        await page.evaluate(async (key) => {
            const select = document.querySelector(`[data-grid-row="${key}"] [data-grid-cell="PD49_INDTRPERSTESTA"] select`);
            select.dispatchEvent(new PointerEvent("pointerdown", { bubbles: true }));
            select.focus();
            await new Promise((resolve) => setTimeout(resolve, 300));
        }, row);
        samples.push(
            await timed(
                page,
                `const select = document.querySelector('[data-grid-row="' + argument + '"] [data-grid-cell="PD49_INDTRPERSTESTA"] select');
                 select.value = select.dataset.shown === "0" ? "1" : "0";
                 window.zovrenaWanted = select.value;
                 window.zovrenaSelect = select;
                 // The moment the answer is written into the cell, between frames.
                 const began = performance.now();
                 window.zovrenaWritten = NaN;
                 new MutationObserver((records, observer) => {
                     window.zovrenaWritten = performance.now() - began;
                     observer.disconnect();
                 }).observe(select, { attributes: true, attributeFilter: ["data-shown"] });
                 select.dispatchEvent(new Event("change", { bubbles: true }));`,
                // The row's select stays the same element; the window area comes before the rows.
                `return window.zovrenaSelect.dataset.shown === window.zovrenaWanted &&
                        document.querySelector("[data-host=window-area]").getAttribute("aria-busy") !== "true";`,
                row,
            ),
        );
    }
    const m = (pick) => median(samples.map(pick));
    console.log(`one cell's choice changed [${edits} tries, medians, ms]`);
    console.log(
        `  answer written into the cell ${f(m((s) => s.written))}, cell seen updated at a frame ${f(m((s) => s.updated))}, frame drawn ${f(m((s) => s.drawn))}; answer received ${f(m((s) => s.answered))} ` +
            `(${m((s) => s.bytes)} bytes); server: program ${f(m((s) => s.action))}, whole request ${f(m((s) => s.host))}`,
    );
}

// A refused choice leaves the grid as it was: its answer with and without the rows held named.
async function measureQuietAction(page) {
    const sizes = await page.evaluate(async () => {
        const session = await (await fetch("/api/session")).json();
        const window = document.querySelector("[data-window]").getAttribute("data-window");
        const results = {};
        for (const named of [true, false]) {
            const snapshot = await (await fetch(`/api/window/${window}`)).json();
            const grid = snapshot.page.frames.flatMap((frame) => frame.controls).find((c) => c.kind === "grid");
            const body = {
                type: "editCell",
                control: "GRD_TRPERS",
                row: "B100001",
                field: "PD49_INDTRPERSTESTA",
                value: "7",
                revision: snapshot.revision,
            };
            if (named) {
                body.gridRows = { GRD_TRPERS: grid.rowsVersion };
            }
            const began = performance.now();
            const response = await fetch(`/api/window/${window}/action`, {
                method: "POST",
                headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": session.csrfToken },
                body: JSON.stringify(body),
            });
            const text = await response.text();
            results[named ? "held" : "notHeld"] = { bytes: text.length, ms: performance.now() - began };
        }
        return results;
    });
    console.log("an action that leaves the grid as it was (a refused choice)");
    console.log(
        `  rows held named: ${sizes.held.bytes} bytes in ${f(sizes.held.ms)} ms; ` +
            `not named: ${sizes.notHeld.bytes} bytes in ${f(sizes.notHeld.ms)} ms`,
    );
    // The page's own state is older than these requests: show the window afresh.
    await reloadWhole(page);
}

// Scrolls from `from` (a share of the grid's height) to the end, or `steps` steps; `pause` ms
// after the jump to `from`, as a person who looks at the rows there before scrolling on.
async function measureScroll(page, when, { from = 0, pause = 0, steps = Number.MAX_SAFE_INTEGER } = {}) {
    const result = await page.evaluate(async ({ from, pause, steps }) => {
        const body = document.querySelector('[data-grid="GRD_TRPERS"] .grid-body');
        body.scrollTop = Math.round(body.scrollHeight * from);
        await new Promise((resolve) => requestAnimationFrame(resolve));
        await new Promise((resolve) => setTimeout(resolve, pause));
        const step = Math.round(body.clientHeight / 2);
        const frames = [];
        let last = await new Promise((resolve) => requestAnimationFrame(resolve));
        while (frames.length < steps && body.scrollTop + body.clientHeight < body.scrollHeight - 1) {
            body.scrollTop += step;
            const now = await new Promise((resolve) => requestAnimationFrame(resolve));
            frames.push(now - last);
            last = now;
        }
        const sorted = [...frames].sort((a, b) => a - b);
        return {
            step,
            height: body.scrollHeight,
            frames: frames.length,
            long: frames.filter((ms) => ms > 16.7).length,
            dropped: frames.reduce((sum, ms) => sum + Math.max(0, Math.round(ms / 16.7) - 1), 0),
            median: sorted[Math.floor(sorted.length / 2)],
            p95: sorted[Math.floor(sorted.length * 0.95)],
            max: sorted[sorted.length - 1],
        };
    }, { from, pause, steps });
    console.log(`scrolling ${when} (${result.height} px, ${result.step} px a frame)`);
    console.log(
        `  ${result.frames} frames: ${result.long} longer than 16.7 ms (${result.dropped} frames dropped); ` +
            `median ${f(result.median)} ms, 95th percentile ${f(result.p95)} ms, longest ${f(result.max)} ms`,
    );
}

// One wheel gesture over the grid from its top, `distance` px at `speed` px/s, through the
// browser's own input path (which moves the rows without the page when the browser scrolls them on
// its compositor), traced with `categories`: the trace's events, how far the rows scrolled, how long
// it took.
async function wheelGesture(page, { speed, distance }, categories) {
    const body = page.locator('[data-grid="GRD_TRPERS"] .grid-body');
    await body.evaluate((element) => {
        element.scrollTop = 0;
    });
    const box = await body.boundingBox();
    const cdp = await page.context().newCDPSession(page);
    const events = [];
    cdp.on("Tracing.dataCollected", (data) => events.push(...data.value));
    const complete = new Promise((resolve) => cdp.once("Tracing.tracingComplete", resolve));
    await cdp.send("Tracing.start", { traceConfig: { includedCategories: categories, excludedCategories: ["*"] } });
    // Tracing reaches the page's processes a moment after it starts: the first gesture of a run
    // was otherwise seen only in part.
    await page.waitForTimeout(1000);
    const began = Date.now();
    await cdp.send("Input.synthesizeScrollGesture", {
        x: Math.round(box.x + box.width / 2),
        y: Math.round(box.y + box.height / 2),
        yDistance: -distance,
        speed,
        gestureSourceType: "mouse",
    });
    const elapsed = Date.now() - began;
    const scrolled = await body.evaluate((element) => element.scrollTop);
    await cdp.send("Tracing.end");
    await complete;
    await cdp.detach();
    return { events, box, scrolled, elapsed };
}

// Scrolls the grid as a person does with the mouse wheel, twice. The first gesture counts from
// Chromium's frame reports the frames that missed their turn. The second one counts, from Chromium's
// screenshots of the frames drawn, those where rows in view were not drawn yet (a fifth or more of
// the rows' area blank); without a GPU, taking a screenshot of every frame costs the browser's
// display compositor about 12 ms a frame, so that the second gesture's own frames are not counted.
// `prepare` brings the page to the state measured, before each gesture.
async function measureWheel(page, when, gesture, prepare = async () => {}) {
    await prepare();
    const timed = await wheelGesture(page, gesture, ["benchmark", "cc"]);
    const scrolling = timed.events
        .map((event) => event.name === "PipelineReporter" && event.args?.frame_reporter)
        .filter((report) => report && report.scroll_state && report.scroll_state !== "SCROLL_NONE");
    const dropped = scrolling.filter((report) => report.state === "STATE_DROPPED").length;
    const thread = scrolling.some((report) => report.scroll_state === "SCROLL_COMPOSITOR_THREAD") ? "compositor" : "main";
    await prepare();
    const seen = await wheelGesture(page, gesture, ["disabled-by-default-devtools.screenshot"]);
    const shots = seen.events.filter((event) => event.name === "Screenshot").map((event) => event.args.snapshot);
    // The share of dark (text and border) pixels in the rows' area of each screenshot.
    const inked = await page.evaluate(
        async ({ shots, box }) => {
            const shares = [];
            for (const shot of shots) {
                const bytes = Uint8Array.from(atob(shot), (character) => character.charCodeAt(0));
                const bitmap = await createImageBitmap(new Blob([bytes], { type: "image/jpeg" }));
                const scale = bitmap.width / window.innerWidth;
                const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
                const context = canvas.getContext("2d");
                context.drawImage(bitmap, 0, 0);
                const area = context.getImageData(box.x * scale, box.y * scale, box.width * scale, box.height * scale).data;
                let dark = 0;
                for (let i = 0; i < area.length; i += 4) {
                    dark += 0.3 * area[i] + 0.59 * area[i + 1] + 0.11 * area[i + 2] < 160 ? 1 : 0;
                }
                shares.push(dark / (area.length / 4));
            }
            return shares;
        },
        { shots, box: seen.box },
    );
    const full = Math.max(0, ...inked);
    const missing = inked.filter((share) => share < 0.8 * full).length;
    console.log(
        `scrolling ${when} with the mouse wheel at ${gesture.speed} px/s (${timed.scrolled} of ${gesture.distance} px, on the ${thread} thread)`,
    );
    console.log(
        `  ${f(timed.elapsed / 1000)} s (${Math.round(timed.elapsed / 16.7)} frames at 60 Hz): Chromium's frame reports ${dropped} frames dropped; ` +
            `again with screenshots: ${shots.length} frames (at most about 55 a second), ${missing} with rows in view not drawn yet`,
    );
}

const host = await startHost(binary, [company, documents, saved]);
const profile = await mkdtemp(path.join(tmpdir(), "zovrena-grid-perf-browser-"));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    baseURL: host.url,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
        "--disable-component-update", "--no-first-run"],
});
try {
    const page = await context.newPage();
    page.setDefaultTimeout(120000);
    await openWindow(page);
    await measureOpen(page);
    await measureEdits(page);
    await measureQuietAction(page);
    await measureScroll(page, "the whole grid as soon as every row is in the page");
    await measureWheel(page, "as soon as every row is in the page", { speed: wheelSpeeds[0], distance: wheelSpeeds[0] * 8 }, () =>
        reloadWhole(page),
    );
    // The rows out of view are laid out while the page is idle (15-25 ms a block of 25 rows, 15 s
    // or so for 10,000 rows), those below the view first.
    await reloadWhole(page);
    await measureScroll(page, `on from the middle, ${jumpPause / 1000} s after jumping there as soon as every row is in the page`, {
        from: 0.5,
        pause: jumpPause,
        steps: 200,
    });
    await reloadWhole(page);
    await page.waitForTimeout(settle);
    await measureScroll(page, `the whole grid ${settle / 1000} s after every row is in the page`);
    for (const speed of wheelSpeeds) {
        await measureWheel(page, `${settle / 1000} s after every row is in the page`, { speed, distance: speed * 8 });
    }
} finally {
    await context.close();
    await rm(profile, { recursive: true, force: true });
    await host.stop();
}
