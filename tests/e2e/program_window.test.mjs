// The real program window served by the host: editing and saving the management indicators,
// the save rules' refusals, a company's first row, who may reach a window, and what happens to a
// message box nobody answers. What was saved is read back from the database with `zovrena sql`.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { after, before, test } from "node:test";

import { baseUrl, openBrowser, signIn } from "./browser.mjs";

const zovrena = process.env.ZOVRENA_BIN;
const database = process.env.ZOVRENA_DATABASE;
const modalTimeoutSeconds = Number(process.env.ZOVRENA_MODAL_TIMEOUT ?? "0");
if (!zovrena || !database || !modalTimeoutSeconds) {
    throw new Error("ZOVRENA_BIN, ZOVRENA_DATABASE, ZOVRENA_MODAL_TIMEOUT non impostati: avviare con scripts/e2e.sh");
}

// The rows of a query as objects (the command prints a tab-separated table with a header).
function query(sql) {
    const text = execFileSync(zovrena, ["sql", "--database", database, sql], { encoding: "utf8" });
    const [header, ...lines] = text.trimEnd().split("\n");
    const names = header.split("\t");
    return lines.map((line) => Object.fromEntries(line.split("\t").map((value, i) => [names[i], value])));
}

function generalRow(company, columns) {
    return query(`SELECT ${columns.join(", ")} FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = ${company}`);
}

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

const control = (page, name) => page.locator(`[data-control="${name}"]`);
const hostButton = (page, name) => page.locator(`[data-host-button="${name}"]`);

// Signs in, picks the company and opens the program on the management indicators page.
async function openIndicators(page, company = 1) {
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
    await page.locator('[data-item="ITM_PRG_INDGES"]').click();
    await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').waitFor();
    await control(page, "CMB_FLGSTATI").waitFor();
}

// The window's id and the session's token, as the page's own requests send them.
async function windowRequestParts(page) {
    return page.evaluate(async () => {
        const session = await (await fetch("/api/session")).json();
        const window = document.querySelector("[data-window]")?.getAttribute("data-window");
        const snapshot = await (await fetch(`/api/window/${window}`)).json();
        return { window, csrf: session.csrfToken, revision: snapshot.revision };
    });
}

test("line states off disables the state, and the save releases the lines (state 2)", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    assert.deepEqual(generalRow(1, ["PD42_FLGSTATI", "PD42_INDSTATO"]), [{ PD42_FLGSTATI: "1", PD42_INDSTATO: "1" }]);
    assert.equal(await control(page, "CMB_INDSTATO").isEnabled(), true);

    await control(page, "CMB_FLGSTATI").selectOption({ label: "No" });
    await page.locator('[data-control="CMB_INDSTATO"][disabled]').waitFor();
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();

    assert.deepEqual(generalRow(1, ["PD42_FLGSTATI", "PD42_INDSTATO"]), [{ PD42_FLGSTATI: "0", PD42_INDSTATO: "2" }]);
    await page.close();
});

test("bill-of-materials models with an open bill of materials: message 35027, nothing written", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const columns = ["PD42_FLGMODELLODB", "PD42_INDGESDISBA"];
    const before = generalRow(1, columns);

    await control(page, "CBX_GESMODELLLIDB").check();
    await page.locator('[data-control="CBX_GESMODELLLIDB"]:checked').waitFor();
    await control(page, "CBX_DISBAAPERTA").check();
    await page.locator('[data-control="CBX_DISBAAPERTA"]:checked').waitFor();
    await hostButton(page, "Conferma").click();

    const box = page.locator('[role="dialog"][data-message-id="35027"]');
    await box.waitFor();
    assert.match(await box.textContent(), /distinta base aperta non è ammessa/);
    assert.deepEqual(generalRow(1, columns), before, "nothing is written while the box is shown");
    await box.locator('[data-answer="1"]').click();
    await box.waitFor({ state: "detached" });

    assert.deepEqual(generalRow(1, columns), before);
    assert.equal(await hostButton(page, "Conferma").isEnabled(), true, "the changes are still pending");
    await hostButton(page, "Annulla").click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
    await page.close();
});

test("company 2 opens on a new record and confirming writes it with the new-row values", async () => {
    assert.deepEqual(query("SELECT COUNT(*) AS N FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = 2"), [{ N: "0" }]);
    const page = await browser.newPage();
    await openIndicators(page, 2);
    assert.equal(await control(page, "TXT_STEPLEGDB").inputValue(), "10");
    await page.locator('[data-host-button="Conferma"]:not([disabled])').click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();

    const expected = {
        PD42_STEPNUMLEGDB: "10",
        PD42_STEPSEQINTLEGDB: "1",
        PD42_FLGGENTRASFCL: "1",
        PD42_FLGDEPCLEGAME: "1",
        PD42_FLGDEPCPIANART: "1",
        PD42_FLGDEPARIGAORD: "1",
        PD42_FLGSTATI: "0",
    };
    assert.deepEqual(generalRow(2, Object.keys(expected)), [expected]);
    await page.close();
});

test("wrong input gets a message and changes nothing", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const steps = control(page, "TXT_STEPLEGDB");
    const maxLength = Number(await steps.getAttribute("maxlength"));
    assert.equal(maxLength, 5);

    // Typing: the step takes any text (its validation reads it as a number), at most its length.
    await steps.fill("");
    await steps.pressSequentially("12ab34567");
    assert.equal(await steps.inputValue(), "12ab3");

    const parts = await windowRequestParts(page);
    const send = (body, headers = {}) =>
        page.evaluate(
            async ({ parts, body, headers }) => {
                const response = await fetch(`/api/window/${parts.window}/action`, {
                    method: "POST",
                    headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": parts.csrf, ...headers },
                    body: typeof body === "string" ? body : JSON.stringify(body),
                });
                return { status: response.status, body: await response.json() };
            },
            { parts, body, headers },
        );
    const cases = [
        {
            name: "letters in a step field, sent directly: read as 0, so the default",
            body: { type: "leaveField", control: "TXT_STEPLEGDB", text: "dieci", revision: parts.revision },
            status: 200,
            notice: null,
            value: "10",
        },
        {
            name: "an old revision (a second tab)",
            body: { type: "clickItem", item: "ITM_PRG_VAL", revision: parts.revision },
            status: 409,
            error: "La finestra è stata modificata in un'altra scheda.",
        },
        { name: "malformed JSON", body: "{type:", status: 400 },
        { name: "not an object", body: "[1, 2]", status: 400 },
        { name: "an unknown action", body: { type: "format", revision: parts.revision + 1 }, status: 400 },
        { name: "an oversized body", body: JSON.stringify({ type: "x", pad: "x".repeat(70 * 1024) }), status: 413 },
    ];
    for (const item of cases) {
        const answer = await send(item.body);
        assert.equal(answer.status, item.status, item.name);
        if (item.value) {
            assert.equal(answer.body.notice, item.notice, item.name);
            const edit = answer.body.page.frames.flatMap((f) => f.controls).find((c) => c.name === "TXT_STEPLEGDB");
            assert.equal(edit.value, item.value, item.name);
        }
        if (item.error) {
            assert.equal(answer.body.error, item.error, item.name);
            assert.equal(answer.body.window.page.key, "ITM_PRG_INDGES", `${item.name}: the current window comes back`);
        }
        if (item.status !== 200) {
            assert.deepEqual(Object.keys(answer.body).filter((k) => k !== "window"), ["error"], item.name);
        }
    }

    // Past the maximum length, sent directly: the field keeps its first five characters.
    const current = await windowRequestParts(page);
    const long = await send({ type: "leaveField", control: "TXT_STEPLEGDB", text: "123456789", revision: current.revision });
    const edit = long.body.page.frames.flatMap((f) => f.controls).find((c) => c.name === "TXT_STEPLEGDB");
    assert.equal(edit.value, "12345");

    // The page redrawn after a refusal shows the window as it is.
    await page.reload();
    await control(page, "TXT_STEPLEGDB").waitFor();
    assert.equal(await control(page, "TXT_STEPLEGDB").inputValue(), "12345");
    await hostButton(page, "Annulla").click();
    await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
    await page.close();
});

test("the focus goes where the program puts it: a page's first control, the field a refused save names", async () => {
    execFileSync(zovrena, ["sql", "--database", database, "UPDATE PD42_ZOVRENA SET PD42_STEPNUMLEGDB = 0 WHERE PD42_DITTA_CG18 = 1"]);
    const page = await browser.newPage();
    const focused = () => page.evaluate(() => document.activeElement?.getAttribute("data-control"));
    try {
        await openIndicators(page);
        await page.waitForFunction(() => document.activeElement?.getAttribute("data-control") === "CBX_GESMODELLLIDB");

        await control(page, "CBX_GESTRICETTA").click();
        await hostButton(page, "Conferma").click();
        const box = page.locator('[role="dialog"][data-message-id="9636"]');
        await box.waitFor();
        await box.locator('[data-answer="1"]').click();
        await box.waitFor({ state: "detached" });
        await page.waitForFunction(() => document.activeElement?.getAttribute("data-control") === "TXT_STEPLEGDB");
        assert.equal(await focused(), "TXT_STEPLEGDB");
        await hostButton(page, "Annulla").click();
        await page.locator('[data-host-button="Conferma"][disabled]').waitFor();
    } finally {
        execFileSync(zovrena, ["sql", "--database", database, "UPDATE PD42_ZOVRENA SET PD42_STEPNUMLEGDB = 10 WHERE PD42_DITTA_CG18 = 1"]);
        await page.close();
    }
});

test("a window is out of reach of signed-out requests and of other sessions", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const parts = await windowRequestParts(page);
    const action = { type: "clickItem", item: "ITM_PRG_VAL", revision: parts.revision };

    // No session at all.
    for (const [method, path] of [
        ["GET", `/api/window/${parts.window}`],
        ["POST", `/api/window/${parts.window}/action`],
    ]) {
        const response = await fetch(`${baseUrl}${path}`, {
            method,
            headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": parts.csrf },
            body: method === "POST" ? JSON.stringify(action) : undefined,
        });
        assert.equal(response.status, 401, `${method} ${path} signed out`);
    }

    // Another user's session, with its own valid token: the window does not exist for it.
    const other = await openBrowser();
    try {
        const stranger = await other.newPage();
        await signIn(stranger, "ospite", "ospite");
        const answers = await stranger.evaluate(
            async ({ window, action }) => {
                const session = await (await fetch("/api/session")).json();
                const read = await fetch(`/api/window/${window}`);
                const act = await fetch(`/api/window/${window}/action`, {
                    method: "POST",
                    headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": session.csrfToken },
                    body: JSON.stringify(action),
                });
                return [
                    { status: read.status, body: await read.json() },
                    { status: act.status, body: await act.json() },
                ];
            },
            { window: parts.window, action },
        );
        for (const answer of answers) {
            assert.deepEqual(answer, { status: 404, body: { error: "Finestra non trovata." } });
        }
    } finally {
        await other.close();
    }

    // The owner's window did not move.
    const after = await windowRequestParts(page);
    assert.equal(after.revision, parts.revision);
    assert.equal(await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').count(), 1);
    await page.close();
});

test("a message box left unanswered past the timeout unloads the window and writes nothing", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const columns = ["PD42_FLGMODELLODB", "PD42_INDGESDISBA", "PD42_STEPNUMLEGDB"];
    const before = generalRow(1, columns);

    await control(page, "TXT_STEPLEGDB").fill("25");
    await control(page, "TXT_STEPLEGDB").press("Tab");
    await page.locator('[data-host-button="Conferma"]:not([disabled])').waitFor();
    await control(page, "CBX_GESMODELLLIDB").check();
    await page.locator('[data-control="CBX_GESMODELLLIDB"]:checked').waitFor();
    await control(page, "CBX_DISBAAPERTA").check();
    await page.locator('[data-control="CBX_DISBAAPERTA"]:checked').waitFor();
    await hostButton(page, "Conferma").click();
    await page.locator('[role="dialog"][data-message-id="35027"]').waitFor();
    const { window } = await windowRequestParts(page);
    await page.close(); // the person goes away with the box open

    const checker = await browser.newPage();
    await checker.goto("/");
    await checker.locator('[data-control="host-company"] option').first().waitFor({ state: "attached" });
    const closed = await checker.evaluate(
        async ({ window, limit }) => {
            const until = Date.now() + limit;
            while (Date.now() < until) {
                const response = await fetch(`/api/window/${window}`);
                if (response.status === 404 || (await response.json()).closed) {
                    return true;
                }
                await new Promise((resolve) => setTimeout(resolve, 250));
            }
            return false;
        },
        { window, limit: (modalTimeoutSeconds + 10) * 1000 },
    );
    assert.equal(closed, true, "the window unloaded");
    assert.deepEqual(generalRow(1, columns), before);

    // The session goes on without the window, and the program can be opened again.
    await checker.reload();
    await checker.locator(".window-empty").waitFor();
    await checker.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await checker.locator('[data-item="ITM_PRG_INDGES"]').waitFor();
    await checker.close();
});

test("changing company with the window open asks first; No keeps both, Yes closes the window", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const selector = page.locator('[data-control="host-company"]');
    const question = page.locator('[role="dialog"][data-message-id="30178"]');

    await selector.selectOption("2");
    await question.waitFor();
    assert.equal(await question.locator(".message-text").textContent(), "Il cambio azienda comporta la chiusura del programma, proseguo ?");
    await question.locator('[data-answer="7"]').click();
    await question.waitFor({ state: "detached" });
    assert.equal(await selector.inputValue(), "1");
    assert.equal(await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').count(), 1);

    await selector.selectOption("2");
    await question.waitFor();
    await question.locator('[data-answer="6"]').click();
    await page.locator(".window-empty").waitFor();
    assert.equal(await selector.inputValue(), "2");
    const company = await page.evaluate(async () => (await (await fetch("/api/session")).json()).company);
    assert.equal(company, 2);
    await page.close();
});

test("a small file attached through the multimedia link is listed and stored", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    await page.locator('[data-host-button="Media"]:not([disabled])').click();
    const dialog = page.locator("[data-media-dialog]");
    await dialog.waitFor();
    await dialog.locator('[data-media="file"]').setInputFiles({
        name: "nota.txt",
        mimeType: "text/plain",
        buffer: Buffer.from("Istruzioni di collaudo\n"),
    });
    await dialog.locator('[data-media="description"]').fill("Collaudo");
    await dialog.locator('[data-media="attach"]').click();
    await dialog.locator('[data-media-item="1"]').waitFor();
    assert.match(await dialog.locator('[data-media-item="1"]').textContent(), /Collaudo.*nota\.txt/);

    const stored = query("SELECT CG99_DESCRIZIONE, CG99_NOMEFILE FROM CG99_MULTIMEDIA WHERE CG99_NOMEFILE = 'nota.txt'");
    assert.deepEqual(stored, [{ CG99_DESCRIZIONE: "Collaudo", CG99_NOMEFILE: "nota.txt" }]);
    await dialog.locator('[data-media="close"]').click();
    await dialog.waitFor({ state: "detached" });
    await page.close();
});

test("a second tab on the same window is told that the window changed, and shows it as it is", async () => {
    const first = await browser.newPage();
    await openIndicators(first);
    const second = await browser.newPage();
    await second.goto("/");
    await second.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').waitFor();

    await first.locator('[data-item="ITM_PRG_VAL"]').click();
    await first.locator('[data-item="ITM_PRG_VAL"][aria-current="page"]').waitFor();

    await control(second, "CBX_GESTRICETTA").click(); // not check(): the tab redraws it unticked
    const notice = second.locator('[data-host="notice"]');
    await notice.waitFor({ state: "visible" });
    assert.equal(await notice.textContent(), "La finestra è stata modificata in un'altra scheda.");
    await second.locator('[data-item="ITM_PRG_VAL"][aria-current="page"]').waitFor();
    assert.equal(await hostButton(second, "Conferma").isEnabled(), false, "the click of the old tab changed nothing");
    await second.close();
    await first.close();
});

test("while the server works the window says it is busy, and the bar shows after a moment", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    let release;
    const held = new Promise((resolve) => {
        release = resolve;
    });
    await page.route("**/api/window/*/action", async (route) => {
        await held;
        await route.continue();
    });
    const area = page.locator('[data-host="window-area"]');
    await page.locator('[data-item="ITM_PRG_VAL"]').click();
    await page.locator('[data-host="window-area"][aria-busy="true"]').waitFor();
    await page.waitForFunction(
        () => getComputedStyle(document.querySelector('[data-host="window-area"]'), "::before").opacity === "1",
    );
    release();
    await page.locator('[data-item="ITM_PRG_VAL"][aria-current="page"]').waitFor();
    await page.waitForFunction(() => !document.querySelector('[data-host="window-area"]').hasAttribute("aria-busy"));
    assert.equal(await area.getAttribute("aria-busy"), null);
    await page.unroute("**/api/window/*/action");
    await page.close();
});


test("going back to a page shows the elements it had, or what changed since", async () => {
    const page = await browser.newPage();
    await openIndicators(page);
    const visit = async (item) => {
        await page.locator(`[data-item="${item}"]`).click();
        await page.locator(`[data-item="${item}"][aria-current="page"]`).waitFor();
    };
    await page.evaluate(() => {
        window.kept = document.querySelector('[data-control="CMB_FLGSTATI"]');
    });
    await visit("ITM_PRG_VAL");
    await visit("ITM_PRG_INDGES");
    assert.equal(
        await page.evaluate(() => document.querySelector('[data-control="CMB_FLGSTATI"]') === window.kept),
        true,
        "an unchanged page comes back as it was",
    );

    // Line states switched the other way (an earlier test may have saved them off).
    const before = await control(page, "CMB_FLGSTATI").inputValue();
    const other = before === "1" ? "0" : "1";
    const stateOff = (value) => `[data-control="CMB_INDSTATO"]${value === "0" ? "[disabled]" : ":not([disabled])"}`;
    await control(page, "CMB_FLGSTATI").selectOption(other);
    await page.locator(stateOff(other)).waitFor();
    await visit("ITM_PRG_VAL");
    await visit("ITM_PRG_INDGES");
    assert.equal(await control(page, "CMB_FLGSTATI").inputValue(), other);
    assert.equal(await control(page, "CMB_INDSTATO").isDisabled(), other === "0");
    await hostButton(page, "Annulla").click();
    await page.locator(stateOff(before)).waitFor();
    assert.equal(await control(page, "CMB_FLGSTATI").inputValue(), before);
    await page.close();
});
