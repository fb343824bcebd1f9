// Shared by the browser tests: Debian's Chromium driven by playwright-core, a fresh profile per
// browser, and the sign-in steps.

import { mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { chromium } from "playwright-core";

export const chromiumPath = "/usr/bin/chromium";

export const baseUrl = process.env.ZOVRENA_URL;
if (!baseUrl) {
    throw new Error("ZOVRENA_URL non impostato: avviare i test con scripts/e2e.sh");
}

export async function openBrowser() {
    const profile = await mkdtemp(path.join(tmpdir(), "zovrena-e2e-"));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: chromiumPath,
        headless: true,
        baseURL: baseUrl,
        args: [
            "--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-background-networking",
            "--disable-component-update",
            "--no-first-run",
            "--disable-quic",
            "--disable-sync",
        ],
    });
    // A script error in a page fails the file's tests even when nothing on screen showed it.
    const errors = [];
    return {
        context,
        async newPage() {
            const page = await context.newPage();
            page.setDefaultTimeout(15000);
            page.on("pageerror", (error) => errors.push(`${page.url()}: ${error.stack ?? error.message}`));
            return page;
        },
        async close() {
            await context.close();
            await rm(profile, { recursive: true, force: true });
            if (errors.length > 0) {
                throw new Error(`errori di script nella pagina:\n${errors.join("\n")}`);
            }
        },
    };
}

export async function fillSignIn(page, user, password) {
    await page.goto("/login.html");
    await page.locator('[data-control="login-user"]').fill(user);
    await page.locator('[data-control="login-password"]').fill(password);
    await page.locator('[data-control="login-submit"]').click();
}

// Signs in and waits for the host frame with its company selector filled.
export async function signIn(page, user, password) {
    await fillSignIn(page, user, password);
    await page.waitForURL((url) => url.pathname === "/");
    await page.locator('[data-control="host-company"] option').first().waitFor({ state: "attached" });
}

export async function optionValues(select) {
    return select.locator("option").evaluateAll((options) => options.map((o) => o.value));
}
