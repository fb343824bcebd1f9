// A host of its own for the tests and measurements that need another database than the shared
// demo: `zovrena serve` on a free loopback port over a fresh SQLite file in a temporary folder.

import { execFileSync, spawn } from "node:child_process";
import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";

// `load` ([company, documents, saved]) fills the database with `zovrena demo --load` first;
// without it the host starts on a new demo database.
export async function startHost(binary, load = null) {
    const folder = await mkdtemp(path.join(tmpdir(), "zovrena-host-"));
    const database = `sqlite:${folder}/zovrena.db`;
    const serve = ["serve", "--listen", "127.0.0.1:0", "--database", database];
    if (load) {
        execFileSync(binary, ["demo", "--database", database, "--load", ...load.map(String)]);
    } else {
        serve.push("--demo");
    }
    const host = spawn(binary, serve, { stdio: ["ignore", "pipe", "inherit"] });
    const url = await new Promise((resolve, reject) => {
        let output = "";
        const timer = setTimeout(() => reject(new Error("zovrena serve non è partito")), 30000);
        host.stdout.on("data", (chunk) => {
            output += chunk;
            const found = output.match(/http:\/\/127\.0\.0\.1:\d+/);
            if (found) {
                clearTimeout(timer);
                resolve(found[0]);
            }
        });
        host.once("exit", () => reject(new Error("zovrena serve è terminato")));
    });
    return {
        url,
        database,
        pid: host.pid,
        async stop() {
            if (host.exitCode === null) {
                host.kill("SIGTERM");
                await new Promise((resolve) => host.once("exit", resolve));
            }
            await rm(folder, { recursive: true, force: true });
        },
    };
}

// Signs in as demo at `url`, works in `company` and opens the program window.
export async function openProgramIn(page, url, company) {
    await page.goto(`${url}/login.html`);
    await page.locator('[data-control="login-user"]').fill("demo");
    await page.locator('[data-control="login-password"]').fill("demo");
    await page.locator('[data-control="login-submit"]').click();
    await page.waitForURL((address) => address.pathname === "/");
    const selector = page.locator('[data-control="host-company"]');
    await selector.locator("option").first().waitFor({ state: "attached" });
    if ((await selector.inputValue()) !== String(company)) {
        await selector.selectOption(String(company));
        await page.waitForFunction(async (code) => (await (await fetch("/api/session")).json()).company === code, company);
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
}
