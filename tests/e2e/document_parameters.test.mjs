// The document side of the program window: a document code typed in the header chooses the row
// and the pages of its kind, the lookup lists the documents with and without a parameter row, the
// indicators say what the general row holds now, and the save rules of a document row refuse or
// let it through. What was saved is read back with `zovrena sql`.

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

function documentRow(code, columns) {
    return query(
        `SELECT ${columns.join(", ")} FROM PD88_ZOVRENADOC WHERE PD88_DITTA_CG18 = 1 AND PD88_CODDOC_MG36 = '${code}'`,
    );
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

// Signs in on company 1 and opens the program on the document indicators page.
async function openDocuments(page) {
    await signIn(page, "demo", "demo");
    const selector = page.locator('[data-control="host-company"]');
    if ((await selector.inputValue()) !== "1") {
        await selector.selectOption("1");
        await page.waitForFunction(async () => (await (await fetch("/api/session")).json()).company === 1);
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await item(page, "ITM_PRD_IND").click();
    await page.locator('[data-item="ITM_PRD_IND"][aria-current="page"]').waitFor();
    await control(page, "TXT_CODDOC").waitFor();
}

async function chooseDocument(page, code) {
    await control(page, "TXT_CODDOC").fill(code);
    await control(page, "TXT_CODDOC").press("Tab");
    await page.locator(`[data-control="TXT_CODDOC"]`).and(page.locator(`[value="${code}"]`)).waitFor();
}

test("a production order's code offers its pages and says what the general row holds", async () => {
    const page = await browser.newPage();
    await openDocuments(page);
    assert.equal(await item(page, "ITM_PRD_PRD").getAttribute("aria-disabled"), "true");
    await chooseDocument(page, "ODP");
    await page.locator('[data-item="ITM_PRD_PRD"]:not([aria-disabled])').waitFor();
    assert.equal(await item(page, "ITM_PRD_DCCLA").getAttribute("aria-disabled"), "true");
    assert.equal(await item(page, "ITM_PRD_IND").getAttribute("aria-current"), "page");
    const effective = page.locator('[data-effective="CMB_LOCALDIBA_DOC"]');
    await effective.waitFor();
    assert.match(await effective.textContent(), /^Come indicatori gestionali \(ora: .+\)$/);
    assert.equal(await control(page, "CMB_LOCALDIBA_DOC").inputValue(), "0");
    await page.close();
});

test("the lookup lists documents with a row; the menu entry lists every managed one", async () => {
    const page = await browser.newPage();
    await openDocuments(page);
    await control(page, "TXT_CODDOC").press("F3");
    const list = page.locator('[data-lookup="TXT_CODDOC"]');
    await list.waitFor();
    await list.locator('[data-lookup-row="ODP"]').waitFor();
    assert.equal(await list.locator('[data-lookup-row="OFCL"]').count(), 0, "no row yet for OFCL");
    await page.keyboard.press("Escape");
    await list.waitFor({ state: "detached" });

    await page.locator('[data-key-menu="Kpers1"]').click();
    await list.locator('[data-lookup-row="OFCL"]').click();
    await list.waitFor({ state: "detached" });
    await page.locator('[data-item="ITM_PRD_PRD"]:not([aria-disabled])').waitFor();
    assert.equal(await control(page, "TXT_CODDOC").inputValue(), "OFCL");
    await page.close();
});

test("a production order without component deposits is refused; one deposit lets it through", async () => {
    const page = await browser.newPage();
    await openDocuments(page);
    await chooseDocument(page, "ODP");
    await page.locator('[data-item="ITM_PRD_PRD"]:not([aria-disabled])').click();
    await page.locator('[data-item="ITM_PRD_PRD"][aria-current="page"]').waitFor();
    const columns = ["PD88_FLGDEPCLEGAME", "PD88_FLGDEPCREP", "PD88_FLGDEPCPIANART", "PD88_FLGDEPCPRELART"];
    const stored = documentRow("ODP", columns);
    for (const box of ["CBX_FLGDEPCLEGAME", "CBX_FLGDEPCREP", "CBX_FLGDEPCPIANART", "CBX_FLGDEPCCLP", "CBX_FLGDEPCPRELART"]) {
        await control(page, box).uncheck();
        await page.locator(`[data-control="${box}"]:not(:checked)`).waitFor();
    }
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    const box = page.locator('[role="dialog"][data-message-id="20362"]');
    await box.waitFor();
    assert.deepEqual(documentRow("ODP", columns), stored, "nothing written");
    await box.locator('[data-answer="1"]').click();
    await box.waitFor({ state: "detached" });

    await control(page, "CBX_FLGDEPCPRELART").check();
    await page.locator('[data-control="CBX_FLGDEPCPRELART"]:checked').waitFor();
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
    assert.deepEqual(documentRow("ODP", columns), [
        { PD88_FLGDEPCLEGAME: "0", PD88_FLGDEPCREP: "0", PD88_FLGDEPCPIANART: "0", PD88_FLGDEPCPRELART: "1" },
    ]);
    await page.close();
});
