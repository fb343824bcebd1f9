// The linked-documents pages of a document: which fields may be filled and what two captions read
// follow the kind of the document chosen in the header; a code typed in lower case is shown and
// saved upper case. What was saved is read back with `zovrena sql`.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

const zovrena = process.env.ZOVRENA_BIN;
const database = process.env.ZOVRENA_DATABASE;
if (!zovrena || !database) {
    throw new Error("ZOVRENA_BIN, ZOVRENA_DATABASE non impostati: avviare con scripts/e2e.sh");
}

function stored(code, column) {
    const text = execFileSync(
        zovrena,
        ["sql", "--database", database, `SELECT ${column} FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = '${code}'`],
        { encoding: "utf8" },
    );
    return text.trimEnd().split("\n")[1];
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

const control = (page, name) => page.locator(`[data-control="${name}"]`);

async function openWindow(page) {
    await signIn(page, "demo", "demo");
    const selector = page.locator('[data-control="host-company"]');
    if ((await selector.inputValue()) !== "1") {
        await selector.selectOption("1");
        await page.waitForFunction(async () => (await (await fetch("/api/session")).json()).company === 1);
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    // The document header shows with the document pages.
    await showPage(page, "ITM_PRD_IND");
    await control(page, "TXT_CODDOC").waitFor();
}

async function chooseDocument(page, code) {
    await control(page, "TXT_CODDOC").fill(code);
    await control(page, "TXT_CODDOC").press("Tab");
    await page.locator('[data-control="TXT_CODDOC"]').and(page.locator(`[value="${code}"]`)).waitFor();
}

async function showPage(page, item) {
    await page.locator(`[data-item="${item}"]:not([aria-disabled])`).click();
    await page.locator(`[data-item="${item}"][aria-current="page"]`).waitFor();
}

async function disabled(page, names) {
    const states = {};
    for (const name of names) {
        states[name] = await control(page, name).isDisabled();
    }
    return states;
}

// Fields whose enabling differs between the kinds below.
const fields = ["TXT_CARPROD_DOC", "TXT_CARMACERO_DOC", "TXT_VERSCL_DOC", "TXT_CARDEPTRANS_DOC", "TXT_SCARINT_DOC"];

const kinds = [
    {
        document: "ODP", // production order, 24/20
        disabled: { TXT_CARPROD_DOC: false, TXT_CARMACERO_DOC: false, TXT_VERSCL_DOC: true, TXT_CARDEPTRANS_DOC: true, TXT_SCARINT_DOC: false },
        scarint: "Scarico reparti",
        intavanz: "Avanzamento prod.",
    },
    {
        document: "OFCL", // subcontracting order, 25/1
        disabled: { TXT_CARPROD_DOC: true, TXT_CARMACERO_DOC: false, TXT_VERSCL_DOC: false, TXT_CARDEPTRANS_DOC: true, TXT_SCARINT_DOC: false },
        scarint: "Scarico da c/lavoro",
        intavanz: "Avanzamento c/lav",
    },
    {
        document: "LISTTRASF", // transfer list, 10/3
        disabled: { TXT_CARPROD_DOC: true, TXT_CARMACERO_DOC: true, TXT_VERSCL_DOC: true, TXT_CARDEPTRANS_DOC: false, TXT_SCARINT_DOC: false },
        scarint: "Scarico reparti",
        intavanz: "Avanzamento prod.",
    },
];

test("the linked documents' fields and captions follow the kind of the document chosen", async () => {
    const page = await browser.newPage();
    await openWindow(page);
    for (const kind of kinds) {
        await chooseDocument(page, kind.document);
        await showPage(page, "ITM_PRD_DCLIE");
        await control(page, "TXT_CARINT_DOC").waitFor();
        assert.deepEqual(await disabled(page, fields), kind.disabled, kind.document);
        assert.equal(await control(page, "LBL_SCARINT_DOC").textContent(), kind.scarint, kind.document);
        assert.equal(await control(page, "LBL_INTAVANZ_DOC").textContent(), kind.intavanz, kind.document);
        // The subcontracting page holds only documents of active subcontracting: none of these.
        assert.equal(await page.locator('[data-item="ITM_PRD_DCCLA"]').getAttribute("aria-disabled"), "true");
    }
    await page.close();
});

// On the transfer list, which no other test saves.
test("a code typed in lower case is shown, described and saved upper case", async () => {
    const page = await browser.newPage();
    await openWindow(page);
    await chooseDocument(page, "LISTTRASF");
    await showPage(page, "ITM_PRD_DCLIE");
    const field = control(page, "TXT_CARDEPTRANS_DOC");
    await field.fill("carrep");
    await field.press("Tab");
    await page.locator('[data-control="TXT_CARDEPTRANS_DOC"][value="CARREP"]').waitFor();
    assert.equal(await field.inputValue(), "CARREP");
    await page.locator('[data-control="LBL_DESCARDEPTRANS_DOC"]', { hasText: "Carico reparti" }).waitFor();
    assert.notEqual(stored("LISTTRASF", "PD88_CARDEPTRANS_MG3G"), "CARREP", "nothing written before Conferma");

    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
    assert.equal(stored("LISTTRASF", "PD88_CARDEPTRANS_MG3G"), "CARREP");
    await page.close();
});
