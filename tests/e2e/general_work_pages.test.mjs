// The internal-work, external-work and active-subcontracting pages in the browser: their controls
// and rules, a refused document code, a refused save that leads back to them. Nothing is saved:
// each test undoes its changes, so the other test files see the demo row as it was.

import assert from "node:assert/strict";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

const control = (page, name) => page.locator(`[data-control="${name}"]`);
const hostButton = (page, name) => page.locator(`[data-host-button="${name}"]`);
const optionValues = (locator) => locator.locator("option").evaluateAll((options) => options.map((o) => o.value));

async function openProgram(page, company) {
    await signIn(page, "demo", "demo");
    const selector = page.locator('[data-control="host-company"]');
    if ((await selector.inputValue()) !== String(company)) {
        await selector.selectOption(String(company));
        await page.waitForFunction(
            async (code) => (await (await fetch("/api/session")).json()).company === code,
            company,
        );
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
}

async function visit(page, item) {
    await page.locator(`[data-item="${item}"]`).click();
    await page.locator(`[data-item="${item}"][aria-current="page"]`).waitFor();
}

async function undo(page) {
    await hostButton(page, "Annulla").click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
}

test("internal work: exclusive boxes, the tolerance shown by its combo, a refused save comes back here", async () => {
    const page = await browser.newPage();
    await openProgram(page, 1);
    await visit(page, "ITM_PRG_LAVINTIND");
    assert.equal(
        await page.locator('[data-frame="WLF_PRIORITADEP"] legend').first().textContent(),
        "Priorità reperimento depositi",
    );
    assert.deepEqual(await optionValues(control(page, "CMB_INDSALDOFASIESTPRE")), ["0", "1", "2", "3", "4"]);
    assert.equal(await control(page, "CBX_GENORD").isChecked(), true);

    // Commitment by picking list switches the internal order off at once.
    await control(page, "CBX_IMPGENLISPRE").check();
    await page.locator('[data-control="CBX_GENORD"]:not(:checked)').waitFor();

    // The tolerance hides with the exact check and comes back with its value.
    assert.equal(await control(page, "TXT_PERCTOLLINT").inputValue(), "5");
    await control(page, "cbo_AvanzFaseINT").selectOption("0");
    await control(page, "TXT_PERCTOLLINT").waitFor({ state: "hidden" });
    await control(page, "cbo_AvanzFaseINT").selectOption("1");
    await control(page, "TXT_PERCTOLLINT").waitFor({ state: "visible" });
    assert.equal(await control(page, "TXT_PERCTOLLINT").inputValue(), "5");
    await undo(page);

    // No assembly deposit left: the save is refused from another page and comes back here.
    await visit(page, "ITM_PRG_LAVINTIND");
    await control(page, "CBX_FLGDEPARIGAORD").uncheck();
    await visit(page, "ITM_PRG_CLAIND");
    await hostButton(page, "Conferma").click();
    const box = page.locator('[role="dialog"][data-message-id="20372"]');
    await box.waitFor();
    await box.locator('[data-answer="1"]').click();
    await box.waitFor({ state: "detached" });
    await page.locator('[data-item="ITM_PRG_LAVINTIND"][aria-current="page"]').waitFor();
    await page.waitForFunction(() => document.activeElement?.getAttribute("data-control") === "CBX_FLGDEPAVERSART");
    await undo(page);
    await page.close();
});

test("internal work documents: a code of the neighbour kind is refused, then retyped and decoded", async () => {
    const page = await browser.newPage();
    await openProgram(page, 1);
    await visit(page, "ITM_PRG_LAVINTDOC");
    const field = control(page, "TXT_SCARINT");
    assert.equal(await field.getAttribute("maxlength"), "14");
    await field.fill("carrep");
    await field.press("Tab");
    const box = page.locator('[role="dialog"][data-message-id="23389"]');
    await box.waitFor();
    await box.locator("[data-answer]").first().click();
    await box.waitFor({ state: "detached" });

    await field.fill("scarep");
    await field.press("Tab");
    await page.waitForFunction(
        () => document.querySelector('[data-control="LBL_DESSCARINT"]')?.textContent === "Scarico reparti",
    );
    assert.equal(await field.inputValue(), "SCAREP");
    await undo(page);
    await page.close();
});

test("external work and active subcontracting: locked and hidden controls, the quantity reference reset", async () => {
    const page = await browser.newPage();
    await openProgram(page, 1);
    await visit(page, "ITM_PRG_LAVESTIND");
    assert.equal(await control(page, "CBO_INDIMPINTEST").isVisible(), false);
    assert.equal(await control(page, "TXT_DEPTRANS").getAttribute("disabled"), "");
    await control(page, "CBX_SCAGENLISPRECL").check();
    await page.locator('[data-control="TXT_DEPTRANS"]:not([disabled])').waitFor();
    await page.locator('[data-key-button="TXT_DEPTRANS"]').waitFor();
    await undo(page);

    await visit(page, "ITM_PRG_CLAIND");
    await control(page, "cbo_RifMat_CA").selectOption("1");
    await page.locator('[data-control="cbo_Rif_Qta"]:not([disabled])').waitFor();
    await control(page, "cbo_Rif_Qta").selectOption("2");
    await control(page, "cbo_RifMat_CA").selectOption("2");
    await page.locator('[data-control="cbo_Rif_Qta"][disabled]').waitFor();
    assert.equal(await control(page, "cbo_Rif_Qta").inputValue(), "0");
    await undo(page);
    await page.close();
});

test("company 2 uses warehouse management: three internal-work boxes are locked", async () => {
    // A session of its own: changing company with the window open would ask first.
    const own = await openBrowser();
    const page = await own.newPage();
    await openProgram(page, 2);
    await visit(page, "ITM_PRG_LAVINTIND");
    for (const name of ["CBX_SCAGENORD", "CBX_FLGSCAMATREP", "CHK_FLGREINMATSALDO"]) {
        assert.equal(await control(page, name).getAttribute("disabled"), "", name);
    }
    assert.equal(await control(page, "CBX_GENORD").getAttribute("disabled"), null);
    await own.close();
});
