// Measures the web host with the real window in Chromium (not run by test.sh):
//   - side-bar click to the page drawn, and confirm to the saved state drawn, 20 tries each:
//     medians of the time until the page's elements are updated and until the next frame is drawn,
//     of the request's phases, and of the server's shares (the Server-Timing header the host adds:
//     "action" the program's own work, "window" the window thread, "host" the whole request);
//   - server memory per open window with 50 windows open (VmRSS of the host before and after).
//
//   node tests/e2e/perf/measure.mjs [path/to/zovrena]     (default build/debug/src/zovrena)

import { mkdtemp, readFile, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { chromium } from "playwright-core";

import { openProgramIn, startHost } from "../own_host.mjs";

const binary = process.argv[2] ?? "build/debug/src/zovrena";
const tries = 20;
const windows = 50;

async function rssKiB(pid) {
    const status = await readFile(`/proc/${pid}/status`, "utf8");
    return Number(status.match(/VmRSS:\s+(\d+) kB/)[1]);
}

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = Math.floor(sorted.length / 2);
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// In the page: does `act`, waits (frame by frame) until `done()` holds, and returns the time taken
// with the timings of the last window action request.
async function timed(page, act, done, argument) {
    return page.evaluate(
        async ({ act, done, argument }) => {
            const perform = new Function("argument", act);
            const finished = new Function("argument", done);
            performance.clearResourceTimings();
            // The DOM holds the new state (before the browser paints it) ...
            let dom = NaN;
            const observer = new MutationObserver(() => {
                if (Number.isNaN(dom) && finished(argument)) {
                    dom = performance.now() - start;
                }
            });
            observer.observe(document.body, { subtree: true, childList: true, attributes: true });
            const start = performance.now();
            perform(argument);
            // ... and the next frame shows it.
            while (!finished(argument)) {
                await new Promise((resolve) => requestAnimationFrame(resolve));
            }
            await new Promise((resolve) => requestAnimationFrame(resolve));
            const total = performance.now() - start;
            observer.disconnect();
            const request = performance
                .getEntriesByType("resource")
                .filter((entry) => entry.name.includes("/action"))
                .pop();
            const mark = (name) => (performance.getEntriesByName(name).pop()?.startTime ?? NaN) - start;
            const marks = {
                answer: mark("zovrena:answer"),
                drawn: mark("zovrena:drawn"),
                responseEnd: request ? request.responseEnd - start : NaN,
            };
            performance.clearMarks();
            const timing = (name) => request?.serverTiming.find((t) => t.name === name)?.duration ?? NaN;
            return {
                total,
                dom,
                ...marks,
                queued: request ? request.requestStart - request.startTime : NaN,
                waiting: request ? request.responseStart - request.requestStart : NaN,
                download: request ? request.responseEnd - request.responseStart : NaN,
                sent: request ? request.startTime - start : NaN,
                size: request ? request.transferSize : NaN,
                action: timing("action"),
                thread: timing("window"),
                host: timing("host"),
            };
        },
        { act, done, argument },
    );
}

function summary(name, samples) {
    const m = (pick) => median(samples.map(pick));
    const f = (value) => value.toFixed(2);
    const action = m((s) => s.action);
    const serverWeb = m((s) => s.host - s.action);
    const endToEndWeb = m((s) => s.dom - s.action);
    console.log(`${name} [${samples.length} tries, medians, ms]`);
    console.log(
        `  the program's own work ${f(action)}; server ${f(m((s) => s.host))} ` +
            `(window thread ${f(m((s) => s.thread))}); server-side web layer (server - program) ${f(serverWeb)} ` +
            `${serverWeb <= action ? "<=" : ">"} the program's work`,
    );
    console.log(
        `  in the browser: elements updated ${f(m((s) => s.dom))}, frame drawn ${f(m((s) => s.total))}; ` +
            `end to end web layer (elements updated - program) ${f(endToEndWeb)} ` +
            `${endToEndWeb <= action ? "<=" : ">"} the program's work`,
    );
    console.log(
        `  phases: click to request ${f(m((s) => s.sent))}, queued ${f(m((s) => s.queued))}, ` +
            `waiting ${f(m((s) => s.waiting))}, download ${f(m((s) => s.download))} ` +
            `(${m((s) => s.size)} bytes); answer read ${f(m((s) => s.answer - s.responseEnd))}, ` +
            `drawn into the page ${f(m((s) => s.drawn - s.answer))}`,
    );
}

async function measureBrowser(host) {
    const profile = await mkdtemp(path.join(tmpdir(), "zovrena-perf-browser-"));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: "/usr/bin/chromium",
        headless: true,
        baseURL: host.url,
        args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
            "--disable-component-update", "--no-first-run"],
    });
    try {
        const page = await context.newPage();
        await openProgramIn(page, host.url, 1);
        await page.locator('[data-item="ITM_PRG_INDGES"]').waitFor();

        const clicks = [];
        const items = ["ITM_PRG_VAL", "ITM_PRG_INDGES"];
        for (let i = 0; i < tries + 2; i += 1) {
            const item = items[i % 2];
            const sample = await timed(
                page,
                `document.querySelector('[data-item="' + argument + '"]').click();`,
                `return document.querySelector('h3[data-page="' + argument + '"]') !== null;`,
                item,
            );
            if (i >= 2) {
                clicks.push(sample); // the first visit of each page builds it
            }
        }
        summary("side-bar click to page drawn", clicks);

        const confirms = [];
        const steps = page.locator('[data-control="TXT_STEPLEGDB"]');
        for (let i = 0; i < tries; i += 1) {
            await steps.fill(String(11 + (i % 2)));
            await steps.press("Tab");
            await page.locator('[data-host-button="Conferma"]:not([disabled])').waitFor();
            confirms.push(
                await timed(
                    page,
                    `document.querySelector('[data-host-button="Conferma"]').click();`,
                    `return document.querySelector('[data-host-button="Conferma"]').disabled;`,
                    null,
                ),
            );
        }
        summary("confirm to saved state drawn", confirms);
    } finally {
        await context.close();
        await rm(profile, { recursive: true, force: true });
    }
}

async function measureMemory(host) {
    const sessions = [];
    for (let i = 0; i < windows; i += 1) {
        const response = await fetch(`${host.url}/api/login`, {
            method: "POST",
            headers: { "Content-Type": "application/json" },
            body: JSON.stringify({ user: "demo", password: "demo" }),
        });
        const cookie = response.headers.get("set-cookie").split(";")[0];
        sessions.push({ cookie, csrf: (await response.json()).csrfToken });
    }
    const post = (session, url, body) =>
        fetch(`${host.url}${url}`, {
            method: "POST",
            headers: { "Content-Type": "application/json", Cookie: session.cookie, "X-Zovrena-Csrf": session.csrf },
            body: JSON.stringify(body),
        }).then((r) => r.json());

    // One window opened and closed first, so that what every window shares is already loaded.
    const warm = await post(sessions[0], "/api/window", { progId: "DUZA_ZOVRENA.CLSPD_ZOVRENA" });
    await post(sessions[0], `/api/window/${warm.window}/action`, { type: "close", revision: warm.revision });
    await new Promise((resolve) => setTimeout(resolve, 500));
    const before = await rssKiB(host.pid);
    for (const session of sessions) {
        const opened = await post(session, "/api/window", { progId: "DUZA_ZOVRENA.CLSPD_ZOVRENA" });
        await post(session, `/api/window/${opened.window}/action`, {
            type: "clickItem",
            item: "ITM_PRG_INDGES",
            revision: opened.revision,
        });
    }
    const after = await rssKiB(host.pid);
    console.log(
        `memory: VmRSS ${before} KiB before, ${after} KiB with ${windows} windows open: ` +
            `${((after - before) / windows / 1024).toFixed(2)} MiB per window`,
    );
}

const browserHost = await startHost(binary);
try {
    await measureBrowser(browserHost);
} finally {
    await browserHost.stop();
}
const memoryHost = await startHost(binary);
try {
    await measureMemory(memoryHost);
} finally {
    await memoryHost.stop();
}
