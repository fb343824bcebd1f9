// The valuation and routing pages in the browser: the priority-table ID fields show codes while
// the record stores ids, the price-list switch keeps the tables chosen, the routing item follows
// the cycles combo, and a refused qualification is cleared. What was saved is read back with
// `zovrena sql`.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
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

function generalRow(columns) {
    const [header, line] = sql(`SELECT ${columns.join(", ")} FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 1`)
        .trimEnd()
        .split("\n");
    const values = line.split("\t");
    return Object.fromEntries(header.split("\t").map((name, i) => [name, values[i]]));
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

const control = (page, name) => page.locator(`[data-control="${name}"]`);
const item = (page, key) => page.locator(`[data-item="${key}"]`);

async function openProgram(page) {
    await signIn(page, "demo", "demo");
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await showPage(page, "ITM_PRG_INDGES", "CMB_FLGSTATI");
}

async function showPage(page, key, firstControl) {
    await item(page, key).click();
    await page.locator(`[data-item="${key}"][aria-current="page"]`).waitFor();
    await control(page, firstControl).waitFor();
}

// Types into a field and leaves it; resolves once the field shows `shown`.
async function typeAndLeave(page, name, text, shown) {
    await control(page, name).fill(text);
    await control(page, name).press("Tab");
    await page.waitForFunction(
        ({ name, shown }) => document.querySelector(`[data-control="${name}"]`)?.value === shown,
        { name, shown },
    );
}

async function save(page) {
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
}

test("priority tables: the field shows the code, the record the id; unknown codes go back", async () => {
    const page = await browser.newPage();
    const before = generalRow(["PD42_IDMAT_LP09", "PD42_IDCLA_LP09"]);
    try {
        await openProgram(page);
        await showPage(page, "ITM_PRG_VAL", "TXT_TABPRIORITA_MAT");
        assert.equal(await control(page, "TXT_TABPRIORITA_MAT").inputValue(), "MAT");
        assert.equal(await control(page, "TXT_DESTABPRIORITA_MATERIALI").textContent(), "Priorita listini materiali");

        await typeAndLeave(page, "TXT_TABPRIORITA_MAT", "matpromo", "MATPROMO");
        await page.waitForFunction(
            () =>
                document.querySelector('[data-control="TXT_DESTABPRIORITA_MATERIALI"]')?.textContent ===
                "Priorita listini materiali in promozione",
        );
        await typeAndLeave(page, "TXT_TABPRIORITA_MAT", "nope", "MATPROMO");
        assert.match(await page.locator(".window-notice").textContent(), /NOPE/);
        // The emptied field already shows "" before the answer: wait for the description.
        await typeAndLeave(page, "TXT_TABPRIORITA_CLA", "", "");
        await page.waitForFunction(
            () => document.querySelector('[data-control="TXT_DESTABPRIORITA_CLA"]')?.textContent === "",
        );

        // Off and on again: the tables are disabled, then back as they were.
        await control(page, "CHK_LISTPAR").click();
        await page.locator('[data-control="TXT_TABPRIORITA_MAT"][disabled]').waitFor();
        assert.equal(await control(page, "CHK_LISTPARDOC").isDisabled(), true);
        await control(page, "CHK_LISTPAR").click();
        await page.locator('[data-control="TXT_TABPRIORITA_MAT"]:not([disabled])').waitFor();
        assert.equal(await control(page, "TXT_TABPRIORITA_MAT").inputValue(), "MATPROMO");

        await save(page);
        assert.deepEqual(generalRow(["PD42_IDMAT_LP09", "PD42_IDCLA_LP09"]), {
            PD42_IDMAT_LP09: "6",
            PD42_IDCLA_LP09: "NULL",
        });
    } finally {
        sql(
            `UPDATE PD42_ZOVRENA SET PD42_IDMAT_LP09 = ${before.PD42_IDMAT_LP09}, ` +
                `PD42_IDCLA_LP09 = ${before.PD42_IDCLA_LP09} WHERE PD42_DITTA_CG18 = 1`,
        );
        await page.close();
    }
});

test("routing: the item follows the cycles combo; a refused qualification is cleared", async () => {
    const page = await browser.newPage();
    const before = generalRow(["PD42_QSETUP_PD04", "PD42_QLAV_PD04"]);
    try {
        await openProgram(page);
        const routing = '[data-item="ITM_PRG_CICLI"]';
        await page.locator(`${routing}[aria-disabled="false"], ${routing}:not([aria-disabled])`).waitFor();

        await control(page, "CMB_GESTCICLI").selectOption({ label: "Cicli non gestiti" });
        await page.locator(`${routing}[aria-disabled="true"]`).waitFor();
        await item(page, "ITM_PRG_CICLI").click({ force: true });
        assert.equal(await page.locator('[data-item="ITM_PRG_INDGES"]').getAttribute("aria-current"), "page");

        await control(page, "CMB_GESTCICLI").selectOption({ label: "Cicli obbligatori" });
        await page.locator(`${routing}:not([aria-disabled="true"])`).waitFor();
        await showPage(page, "ITM_PRG_CICLI", "TXT_QUALSETUP");
        assert.equal(await control(page, "TXT_QUALSETUP").getAttribute("maxlength"), "5");
        assert.equal(await control(page, "LBL_DESCRSETUP").textContent(), "Attrezzista");

        await typeAndLeave(page, "TXT_QUALSETUP", "capo", "CAPO");
        await page.waitForFunction(
            () => document.querySelector('[data-control="LBL_DESCRSETUP"]')?.textContent === "Capo reparto",
        );
        await control(page, "TXT_QUALLAV").fill("zzz");
        await control(page, "TXT_QUALLAV").press("Tab");
        const box = page.locator('[role="dialog"][data-message-id="38292"]');
        await box.waitFor();
        await box.locator('[data-answer="1"]').click();
        await box.waitFor({ state: "detached" });
        await page.waitForFunction(() => document.querySelector('[data-control="TXT_QUALLAV"]')?.value === "");
        assert.equal(await control(page, "LBL_DESCRLAV").textContent(), "");

        await save(page);
        assert.deepEqual(generalRow(["PD42_QSETUP_PD04", "PD42_QLAV_PD04", "PD42_FLGGESCICLI"]), {
            PD42_QSETUP_PD04: "CAPO",
            PD42_QLAV_PD04: "NULL",
            PD42_FLGGESCICLI: "2",
        });
    } finally {
        sql(
            `UPDATE PD42_ZOVRENA SET PD42_QSETUP_PD04 = '${before.PD42_QSETUP_PD04}', ` +
                `PD42_QLAV_PD04 = '${before.PD42_QLAV_PD04}', PD42_FLGGESCICLI = 1 WHERE PD42_DITTA_CG18 = 1`,
        );
        await page.close();
    }
});
