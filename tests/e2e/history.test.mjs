// "Storico": a save of the general row shows up as the newest change set of the record's history,
// its changed column by caption with the old and new values; Escape closes the history.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

const zovrena = process.env.ZOVRENA_BIN;
const database = process.env.ZOVRENA_DATABASE;
if (!zovrena || !database) {
    throw new Error("ZOVRENA_BIN, ZOVRENA_DATABASE non impostati: avviare con scripts/e2e.sh");
}

function query(sql) {
    const text = execFileSync(zovrena, ["sql", "--database", database, sql], { encoding: "utf8" });
    const [header, ...lines] = text.trimEnd().split("\n");
    const names = header.split("\t");
    return lines.map((line) => Object.fromEntries(line.split("\t").map((value, i) => [names[i], value])));
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

test("a save is the newest change set of the history, its column shown by caption", async () => {
    const page = await browser.newPage();
    await signIn(page, "demo", "demo");
    const selector = page.locator('[data-control="host-company"]');
    if ((await selector.inputValue()) !== "1") {
        await selector.selectOption("1");
        await page.waitForFunction(async () => (await (await fetch("/api/session")).json()).company === 1);
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await page.locator('[data-item="ITM_PRG_INDGES"]').click();
    await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').waitFor();

    const box = page.locator('[data-control="CBX_GESTIONECOIN"]:not([disabled])');
    const wasOn = await box.isChecked();
    await box.setChecked(!wasOn);
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();

    const [saved] = query(
        "SELECT PD97_ID, PD97_UTENTE_UT00 FROM PD97_STORICO WHERE PD97_DITTA_CG18 = 1 " +
            "AND PD97_TABELLA = 'PD42_ZOVRENA' ORDER BY PD97_ID DESC",
    );
    assert.equal(saved.PD97_UTENTE_UT00, "demo");

    await page.locator('[data-host-button="Storico"]:not([disabled])').click();
    const dialog = page.locator("[data-history-dialog]");
    await dialog.waitFor();
    const newest = dialog.locator("[data-history-row]").first();
    assert.equal(await newest.getAttribute("data-history-row"), saved.PD97_ID);
    const line = newest.locator('[data-history-column="PD42_FLGCOIN"]');
    assert.equal(
        (await line.textContent()).replace(/\s+/g, " "),
        `Contabilità analitica: ${wasOn ? 1 : 0} → ${wasOn ? 0 : 1}`,
    );
    assert.match(await newest.textContent(), /demo/);
    // The keyboard reaches the dialog, and Escape closes it.
    await page.waitForFunction(() => document.activeElement?.getAttribute("data-history") === "close");
    await page.keyboard.press("Escape");
    await dialog.waitFor({ state: "detached" });
    await page.close();
});
