// "Verifica" in the browser: the problems of the company's stored parameters listed from the host
// toolbar, each taking the person to the document, the page and the control concerned; Escape
// closes the list and the list passes the accessibility audit. The damage is made, and undone,
// with `zovrena sql`.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

const zovrena = process.env.ZOVRENA_BIN;
const database = process.env.ZOVRENA_DATABASE;
if (!zovrena || !database) {
    throw new Error("ZOVRENA_BIN, ZOVRENA_DATABASE non impostati: avviare con scripts/e2e.sh");
}

function sql(statement) {
    return execFileSync(zovrena, ["sql", "--database", database, statement], { encoding: "utf8" });
}

const require = createRequire(import.meta.url);
const axeSource = await readFile(require.resolve("axe-core/axe.min.js"), "utf8");

async function violations(page) {
    await page.evaluate(axeSource);
    return page.evaluate(async () => {
        const tags = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "best-practice"];
        const results = await window.axe.run(document, { runOnly: { type: "tag", values: tags } });
        return results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
    });
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

const focusedControl = (page) => page.evaluate(() => document.activeElement?.getAttribute("data-control"));

test("Verifica lists the problems and takes the person to each one", async () => {
    const kept = sql(
        "SELECT PD88_CARPROD_MG3G FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'",
    )
        .trimEnd()
        .split("\n")[1];
    // A document of another kind in a field of the production order's linked documents.
    sql("UPDATE PD88_ZOVRENADOC SET PD88_CARPROD_MG3G = 'SCAREP' WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'");
    const page = await browser.newPage();
    try {
        await signIn(page, "demo", "demo");
        await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
        const verify = page.locator('[data-host-button="Verifica"]:not([disabled])');
        await verify.click();

        const rows = page.locator("[data-check-row]");
        await rows.first().waitFor();
        const texts = await rows.allTextContents();
        const wrongKind = texts.findIndex((text) => text.includes("PD88_CARPROD_MG3G = 'SCAREP'"));
        assert.ok(wrongKind >= 0, texts.join("\n"));
        assert.ok(texts.some((text) => text.includes("documento DOCDISMESSO")), texts.join("\n"));
        assert.deepEqual(await violations(page), []);

        // Keyboard: the first row has the focus, Escape closes and gives the focus back.
        assert.equal(await page.evaluate(() => document.activeElement?.hasAttribute("data-check-row")), true);
        await page.keyboard.press("Escape");
        await page.locator("[data-check-dialog]").waitFor({ state: "detached" });
        assert.equal(await page.evaluate(() => document.activeElement?.getAttribute("data-host-button")), "Verifica");

        await verify.click();
        await page.locator(`[data-check-row="${wrongKind}"]`).click();
        await page.locator('[data-item="ITM_PRD_DCLIE"][aria-current="page"]').waitFor();
        assert.equal(await page.locator('[data-control="TXT_CODDOC"]').inputValue(), "ODP");
        await page.waitForFunction(() => document.activeElement?.getAttribute("data-control") === "TXT_CARPROD_DOC");
        assert.equal(await focusedControl(page), "TXT_CARPROD_DOC");
    } finally {
        await page.close();
        const restored = kept === "NULL" ? "NULL" : `'${kept}'`;
        sql(
            `UPDATE PD88_ZOVRENADOC SET PD88_CARPROD_MG3G = ${restored} WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = 'ODP'`,
        );
    }
});
