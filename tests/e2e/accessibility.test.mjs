// Accessibility audit with axe-core of every page a person reaches: the sign-in page, the home
// page with the company and the menu, each page of the program window, and the window with a
// lookup list, the print sheet, the multimedia links and a message box open. The WCAG 2.1 A and AA
// rules, and axe's best practices, which are what ask for a level-one heading and for every part
// of the page to sit in a landmark.

import assert from "node:assert/strict";
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

const require = createRequire(import.meta.url);
// Evaluated in the page rather than added as a script element, which the host's
// Content-Security-Policy would refuse.
const axeSource = await readFile(require.resolve("axe-core/axe.min.js"), "utf8");
const auditTags = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "best-practice"];

// The violations on the page as "rule (impact): target, target".
async function violations(page) {
    await page.evaluate(axeSource);
    return page.evaluate(async (tags) => {
        const results = await window.axe.run(document, { runOnly: { type: "tag", values: tags } });
        return results.violations.map(
            (v) => `${v.id} (${v.impact}): ${v.nodes.map((node) => node.target.join(" ")).join(", ")}`,
        );
    }, auditTags);
}

// Audits the page as it is now, noting the violations under `what`; `report` fails with them all.
class Audit {
    found = [];

    async check(page, what) {
        this.found.push(...(await violations(page)).map((violation) => `${what}: ${violation}`));
    }

    report() {
        assert.deepEqual(this.found, [], `violazioni di accessibilità:\n  ${this.found.join("\n  ")}`);
    }
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

test("the sign-in page, also with a refusal shown, passes the audit", async () => {
    const audit = new Audit();
    const page = await browser.newPage();
    await page.goto("/login.html");
    await page.locator('[data-control="login-submit"]').waitFor();
    await audit.check(page, "sign-in");

    await page.locator('[data-control="login-user"]').fill("demo");
    await page.locator('[data-control="login-password"]').fill("sbagliata");
    await page.locator('[data-control="login-submit"]').click();
    await page.locator('[data-message="login"]:not([hidden])').waitFor();
    await audit.check(page, "sign-in with the refusal");
    await page.close();
    audit.report();
});

test("the home page and every state of the program window pass the audit", async () => {
    const audit = new Audit();
    const page = await browser.newPage();
    await signIn(page, "demo", "demo");
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').waitFor();
    await audit.check(page, "home page");

    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]').click();
    await page.locator("[data-window] [data-item]").first().waitFor();

    // Every page the side bar opens.
    const items = await page
        .locator('[data-item]:not([aria-disabled="true"])')
        .evaluateAll((buttons) => buttons.map((b) => b.dataset.item));
    assert.ok(items.length > 1, "the side bar offers pages");
    for (const item of items) {
        await page.locator(`[data-item="${item}"]`).click();
        await page.locator(`[data-item="${item}"][aria-current="page"]`).waitFor();
        await audit.check(page, `page ${item}`);
    }

    // A lookup list, from the key of a code field of the indicators page.
    await page.locator('[data-item="ITM_PRG_INDGES"]').click();
    await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').waitFor();
    const codeField = page.locator('[data-control="TXT_DEPSLFASISEST"]');
    if (await codeField.isEnabled()) {
        await codeField.focus();
        await codeField.press("F3");
        await page.locator("[data-lookup]").waitFor();
        await audit.check(page, "lookup list");
        await page.locator("[data-lookup] .lookup-close").click();
        await page.locator("[data-lookup]").waitFor({ state: "detached" });
    }

    // The print sheet, the multimedia links and the change history.
    await page.locator('[data-host-button="Stampa"]:not([disabled])').click();
    await page.locator("[data-print-sheet]").waitFor();
    await audit.check(page, "print sheet");
    await page.locator('[data-print="close"]').click();
    await page.locator("[data-print-sheet]").waitFor({ state: "detached" });

    await page.locator('[data-host-button="Media"]:not([disabled])').click();
    await page.locator("[data-media-dialog]").waitFor();
    await audit.check(page, "multimedia links");
    await page.locator('[data-media="close"]').click();
    await page.locator("[data-media-dialog]").waitFor({ state: "detached" });

    await page.locator('[data-host-button="Storico"]:not([disabled])').click();
    await page.locator("[data-history-dialog]").waitFor();
    await audit.check(page, "change history");
    await page.locator('[data-history="close"]').click();
    await page.locator("[data-history-dialog]").waitFor({ state: "detached" });

    // A message box: changing company with the window open asks first; No keeps both.
    const selector = page.locator('[data-control="host-company"]');
    const company = await selector.inputValue();
    await selector.selectOption(company === "1" ? "2" : "1");
    await page.locator('[role="dialog"][data-message-id="30178"]').waitFor();
    await audit.check(page, "message box");
    await page.locator('[data-message-id="30178"] [data-answer="7"]').click();
    await page.locator("[data-message-id]").waitFor({ state: "detached" });
    await page.close();
    audit.report();
});
