// The transfer grid of a company with 10,000 documents: every row is in the page, a choice made far
// down the grid reaches the temporary table and, after Conferma, the saved settings. The company's
// documents come from `zovrena demo --load` on a host of its own, so that the other tests keep the
// small demo database.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { after, before, test } from "node:test";

import { openBrowser } from "./browser.mjs";
import { openProgramIn, startHost } from "./own_host.mjs";

const zovrena = process.env.ZOVRENA_BIN;
if (!zovrena) {
    throw new Error("ZOVRENA_BIN non impostato: avviare con scripts/e2e.sh");
}

const company = 2;
const documents = 10000;

let host;
let browser;

before(async () => {
    host = await startHost(zovrena, [company, documents, 0]);
    browser = await openBrowser();
});

after(async () => {
    await browser?.close();
    await host?.stop();
});

function saved(code) {
    const text = execFileSync(
        zovrena,
        [
            "sql",
            "--database",
            host.database,
            `SELECT PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = ${company} AND PD49_CODDOC_MG3G = '${code}'`,
        ],
        { encoding: "utf8" },
    );
    return text.trimEnd().split("\n").slice(1).map((line) => line.split("\t").join(" "));
}

async function answer(page, messageId, code) {
    const box = page.locator(`[role="dialog"][data-message-id="${messageId}"]`);
    await box.waitFor();
    await box.locator(`[data-answer="${code}"]`).click();
    await box.waitFor({ state: "detached" });
}

test("a grid of 10,000 documents opens whole and a choice far down it is saved", async () => {
    const page = await browser.newPage();
    page.setDefaultTimeout(120000);
    await openProgramIn(page, host.url, company);
    await page.locator('[data-item="ITM_PRT_TRPERS"]').click();
    await page.waitForFunction(
        (count) => document.querySelectorAll('[data-grid="GRD_TRPERS"] [data-grid-row^="B1"]').length === count,
        documents,
    );
    // The last document is in the page, with its choice showing the default.
    const last = page.locator('[data-grid-row="B109999"] [data-grid-cell="PD49_INDTRPERSTESTA"] select');
    assert.equal(await last.inputValue(), "2");

    // Scrolled to the middle, the rows just below the view are drawn before they come into it (the
    // browser scrolls on without waiting for the page), those far below are not.
    const drawn = await page.evaluate(async () => {
        const body = document.querySelector('[data-grid="GRD_TRPERS"] .grid-body');
        body.scrollTop = body.scrollHeight / 2;
        for (let frame = 0; frame < 3; frame += 1) {
            await new Promise((resolve) => requestAnimationFrame(resolve));
        }
        const bottom = body.getBoundingClientRect().bottom;
        // Reading a row's box would have the browser lay its rows out: the blocks they are laid out in are read.
        const rowAt = (below) =>
            Array.from(body.querySelectorAll(".grid-block")).find((block) => block.getBoundingClientRect().top >= bottom + below)
                .firstElementChild;
        const shown = (row) => row.checkVisibility({ contentVisibilityAuto: true });
        return { near: shown(rowAt(body.clientHeight / 2)), far: shown(rowAt(body.clientHeight * 10)) };
    });
    assert.deepEqual(drawn, { near: true, far: false });

    const head = page.locator('[data-grid-row="B107777"] [data-grid-cell="PD49_INDTRPERSTESTA"] select');
    // Pressed (as by the click that opens it), the list is alone in its form: after a choice the
    // browser looks over that form, which must not cost it the grid's 20,000 lists.
    await head.dispatchEvent("pointerdown");
    await head.focus();
    assert.equal(await head.evaluate((select) => select.form.elements.length), 1);
    await head.selectOption("1");
    await page.locator('[data-grid-row="B107777"] [data-grid-cell="PD49_INDTRPERSTESTA"] select[data-shown="1"]').waitFor();
    assert.deepEqual(saved("B107777"), [], "nothing saved before Conferma");
    await page.locator('[data-gridnav="INTERNAV_PARAMETRI_TRP"][data-button="conferma"]').click();
    await answer(page, 50281, 6);
    await answer(page, 42120, 1);
    assert.deepEqual(saved("B107777"), ["1 2"]);
    // The grid still holds every document, the choice as saved.
    assert.equal(await page.locator('[data-grid="GRD_TRPERS"] [data-grid-row^="B1"]').count(), documents);
    assert.equal(await head.inputValue(), "1");
    await page.close();
});

test("a choice made while the rows are still coming is kept when they are all in", async () => {
    const page = await browser.newPage();
    page.setDefaultTimeout(120000);
    await openProgramIn(page, host.url, company);
    await page.locator('[data-item="ITM_PRT_TRPERS"]').click();
    // The first rows come at once; the choice goes while the others are being made.
    const first = page.locator('[data-grid-row="B100001"] [data-grid-cell="PD49_INDTRPERSCORPO"] select');
    await first.selectOption("0");
    await page.waitForFunction(
        (count) => document.querySelectorAll('[data-grid="GRD_TRPERS"] [data-grid-row^="B1"]').length === count,
        documents,
    );
    await page.locator('[data-grid-row="B100001"] [data-grid-cell="PD49_INDTRPERSCORPO"] select[data-shown="0"]').waitFor();
    assert.equal(await first.inputValue(), "0");
    assert.equal(await page.locator(".grid-coming").count(), 0, "no stand-in left");
    // Every row in its place, in the order of the documents.
    const keys = await page.evaluate(() =>
        Array.from(document.querySelectorAll('[data-grid="GRD_TRPERS"] [data-grid-row^="B1"]'), (row) =>
            row.getAttribute("data-grid-row"),
        ),
    );
    assert.deepEqual(keys, [...keys].sort());
    assert.equal(new Set(keys).size, documents);
    // The keyboard goes through the rows across the groups they are laid out in, both ways.
    const focusedRow = () => page.evaluate(() => document.activeElement.closest("[data-grid-row]").getAttribute("data-grid-row"));
    await page.locator(`[data-grid-row="${keys[45]}"] [data-grid-cell="PD49_INDTRPERSTESTA"] select`).focus();
    for (let i = 0; i < 60; i += 1) {
        await page.keyboard.press("PageDown");
    }
    assert.equal(await focusedRow(), keys[645]);
    for (let i = 0; i < 100; i += 1) {
        await page.keyboard.press("ArrowUp");
    }
    assert.equal(await focusedRow(), keys[545]);
    await page.close();
});
