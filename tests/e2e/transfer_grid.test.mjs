// The custom-field transfer page: the grid worked with the keyboard, a save through the transfer
// bar with its question and confirmation, and a tampered choice refused. What was saved is read
// back with `zovrena sql`.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { after, before, test } from "node:test";

import { openBrowser, signIn } from "./browser.mjs";

const zovrena = process.env.ZOVRENA_BIN;
const database = process.env.ZOVRENA_DATABASE;
if (!zovrena || !database) {
    throw new Error("ZOVRENA_BIN, ZOVRENA_DATABASE non impostati: avviare con scripts/e2e.sh");
}

function saved(company) {
    const text = execFileSync(
        zovrena,
        [
            "sql",
            "--database",
            database,
            `SELECT PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO FROM PD49_PARDOCPROD WHERE PD49_DITTA_CG18 = ${company} ORDER BY PD49_CODDOC_MG3G`,
        ],
        { encoding: "utf8" },
    );
    return text.trimEnd().split("\n").slice(1).map((line) => line.split("\t").join(" "));
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

async function openTransfer(page) {
    await signIn(page, "demo", "demo");
    const selector = page.locator('[data-control="host-company"]');
    if ((await selector.inputValue()) !== "1") {
        await selector.selectOption("1");
        await page.waitForFunction(async () => (await (await fetch("/api/session")).json()).company === 1);
    }
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await page.locator('[data-item="ITM_PRT_TRPERS"]').click();
    await page.locator('[data-grid="GRD_TRPERS"]').waitFor();
}

const cell = (page, row, field) =>
    page.locator(`[data-grid="GRD_TRPERS"] [data-grid-row="${row}"] [data-grid-cell="${field}"]`);

async function answer(page, messageId, code) {
    const box = page.locator(`[role="dialog"][data-message-id="${messageId}"]`);
    await box.waitFor();
    await box.locator(`[data-answer="${code}"]`).click();
    await box.waitFor({ state: "detached" });
}

test("the grid is worked with the keyboard and Conferma stores only the rows off the default", async () => {
    const page = await browser.newPage();
    await openTransfer(page);
    assert.equal(await page.locator('[data-gridnav="INTERNAV_PARAMETRI_TRP"][data-button="conferma"]').isVisible(), true);
    // The saved row of a document the company no longer has is not shown.
    assert.equal(await page.locator('[data-grid-row="DOCDISMESSO"]').count(), 0);
    const head = cell(page, "ODP", "PD49_INDTRPERSTESTA").locator("select");
    assert.equal(await head.inputValue(), "1");
    assert.deepEqual(await head.locator("option").allTextContents(), ["No", "Si", "Come da parametri generali"]);
    assert.equal(await cell(page, "ODP", "PD49_DESCDOCUM").textContent(), "Ordine di produzione");
    assert.equal(await cell(page, "ODP", "PD49_CODDOC_MG3G").locator("input, select").count(), 0);

    // From the code of CARREP: right twice to its head cell, Space opens the list, up to "Si",
    // Enter confirms.
    await cell(page, "CARREP", "PD49_CODDOC_MG3G").click();
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press("ArrowRight");
    const carrepHead = cell(page, "CARREP", "PD49_INDTRPERSTESTA").locator("select");
    assert.equal(await carrepHead.evaluate((element) => element === document.activeElement), true);
    await page.keyboard.press("Space");
    await page.keyboard.press("ArrowUp");
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => {
        const select = document.querySelector('[data-grid-row="CARREP"] [data-grid-cell="PD49_INDTRPERSTESTA"] select');
        return select?.getAttribute("data-shown") === "1";
    });
    // Down to the next row's head cell; typing "n" picks "No", Escape leaves it as it was.
    await page.keyboard.press("ArrowDown");
    const next = page.locator(':focus');
    assert.equal(await next.evaluate((element) => element.closest("[data-grid-cell]")?.getAttribute("data-grid-cell")), "PD49_INDTRPERSTESTA");
    const before = await next.inputValue();
    await page.keyboard.press("n");
    assert.equal(await next.inputValue(), "0");
    await page.keyboard.press("Escape");
    assert.equal(await next.inputValue(), before);

    // Nothing reaches the table before Conferma.
    assert.deepEqual(saved(1), ["DOCDISMESSO 0 1", "ODP 1 0"]);
    await page.locator('[data-gridnav="INTERNAV_PARAMETRI_TRP"][data-button="conferma"]').click();
    await answer(page, 50281, 6);
    await answer(page, 42120, 1);
    assert.deepEqual(saved(1), ["CARREP 1 2", "ODP 1 0"]);
    await page.close();
});

test("a choice outside the list or an edit of the code is refused and writes nothing", async () => {
    const page = await browser.newPage();
    await openTransfer(page);
    const before = saved(1);
    const statuses = await page.evaluate(async () => {
        const session = await (await fetch("/api/session")).json();
        const window = document.querySelector("[data-window]")?.getAttribute("data-window");
        const results = [];
        for (const [field, value] of [
            ["PD49_INDTRPERSTESTA", "7"],
            ["PD49_CODDOC_MG3G", "ALTRO"],
        ]) {
            const snapshot = await (await fetch(`/api/window/${window}`)).json();
            const response = await fetch(`/api/window/${window}/action`, {
                method: "POST",
                headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": session.csrfToken },
                body: JSON.stringify({
                    type: "editCell",
                    control: "GRD_TRPERS",
                    row: "ODP",
                    field,
                    value,
                    revision: snapshot.revision,
                }),
            });
            const body = await response.json();
            results.push(body.notice ?? null);
        }
        return results;
    });
    assert.ok(statuses.every((notice) => typeof notice === "string" && notice.length > 0), JSON.stringify(statuses));
    // The page's own state is older than the requests': show the window afresh.
    await page.reload();
    await page.locator('[data-grid="GRD_TRPERS"]').waitFor();
    assert.equal(await cell(page, "ODP", "PD49_INDTRPERSTESTA").locator("select").inputValue(), "1");
    await page.locator('[data-gridnav="INTERNAV_PARAMETRI_TRP"][data-button="conferma"]').click();
    // Answering No saves nothing and confirms nothing.
    await answer(page, 50281, 7);
    assert.equal(await page.locator('[role="dialog"]').count(), 0);
    assert.deepEqual(saved(1), before);
    await page.close();
});
