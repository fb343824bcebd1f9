// The front end's renderers drawing window snapshots as the protocol describes them: the browser
// hooks, the disabled and hidden states, the message-box button sets and the keyboard rules.

import assert from "node:assert/strict";
import { after, before, test } from "node:test";

import { openBrowser, optionValues, signIn } from "./browser.mjs";

const yesNo = [
    { value: "0", text: "No" },
    { value: "1", text: "Sì" },
];

function snapshot(overrides = {}) {
    return {
        window: "w1",
        revision: 3,
        caption: "Parametri di gestione",
        closed: false,
        sideBar: {
            name: "SB_ZOVRENA",
            groups: [
                {
                    key: "GRP_PRG_INDGES",
                    caption: "Indicatori gestionali",
                    items: [{ key: "ITM_PRG_INDGES", caption: "Indicatori gestionali", enabled: true, current: true }],
                },
                {
                    key: "GRP_PRD_DOCUMENTI",
                    caption: "Documenti",
                    items: [
                        { key: "ITM_PRD_IND", caption: "Indicatori", enabled: true, current: false },
                        { key: "ITM_PRD_PRD", caption: "Priorità reperimento dep.", enabled: false, current: false },
                    ],
                },
            ],
        },
        header: {
            name: "FRAME_CLIENTAREA",
            caption: "",
            controls: [
                { kind: "label", name: "LBL_CODDOC", caption: "Codice documento", value: null, enabled: true, visible: true },
                { kind: "edit", name: "TXT_CODDOC", value: "", maxLength: 14, keyButton: true, enabled: true, visible: true },
                { kind: "label", name: "LBL_DESDOC", caption: "", value: null, enabled: true, visible: true },
            ],
        },
        page: {
            key: "ITM_PRG_INDGES",
            title: "Parametri generali - indicatori gestionali",
            frames: [
                {
                    name: "FRA_INDICATORI",
                    caption: "Indicatori",
                    controls: [
                        { kind: "combo", name: "CMB_A", label: "Primo", value: "1", rows: yesNo, enabled: true, visible: true },
                        { kind: "combo", name: "CMB_B", label: "Secondo", value: "0", rows: yesNo, enabled: false, visible: true },
                        { kind: "checkbox", name: "CHK_C", caption: "Gestione", value: 1, enabled: true, visible: true },
                        { kind: "checkbox", name: "CHK_HIDDEN", caption: "Nascosto", value: 0, enabled: true, visible: false },
                        { kind: "edit", name: "TXT_STEP", label: "Passo", value: "10", maxLength: 3, numeric: true, enabled: true, visible: true },
                    ],
                },
            ],
        },
        navigators: [
            {
                name: "INTERNAV_PARAMETRI",
                visible: true,
                buttons: [
                    { key: "primo", caption: "Primo", enabled: false },
                    { key: "nuovo", caption: "Nuovo", enabled: true },
                ],
            },
            { name: "INTERNAV_PARAMETRI_DOC", visible: false, buttons: [{ key: "primo", caption: "Primo", enabled: true }] },
        ],
        toolbar: [],
        messageBox: null,
        lookup: null,
        printSheet: null,
        ...overrides,
    };
}

let browser;
let page;
before(async () => {
    browser = await openBrowser();
    page = await browser.newPage();
    await signIn(page, "demo", "demo");
});
after(async () => {
    await browser?.close();
});

// Draws the snapshot in the window area; what the person does is collected in window.sent.
async function show(state) {
    await page.evaluate(async (state) => {
        const view = await import("/js/window_view.js");
        const area = document.querySelector('[data-host="window-area"]');
        window.sent = [];
        area.replaceChildren(view.renderWindow(state, { send: (action) => window.sent.push(action) }));
        view.rememberParts(area.firstElementChild);
        view.restoreFocus(area, null, state);
    }, state);
}

// Brings the drawn window up to date with a later snapshot, as the host does after each answer.
async function update(state) {
    await page.evaluate(async (state) => {
        const view = await import("/js/window_view.js");
        const dom = await import("/js/dom.js");
        const area = document.querySelector('[data-host="window-area"]');
        const shown = area.firstElementChild;
        dom.patch(shown, view.renderWindow(state, { send: (action) => window.sent.push(action) }, shown));
        view.rememberParts(area.firstElementChild);
    }, state);
}

const sent = () => page.evaluate(() => window.sent);
const control = (name) => page.locator(`[data-control="${name}"]`);

test("controls carry their hooks, values, and disabled and hidden states", async () => {
    await show(snapshot());
    assert.deepEqual(await optionValues(control("CMB_A")), ["0", "1"]);
    assert.equal(await control("CMB_A").inputValue(), "1");
    assert.equal(await control("CMB_A").evaluate((e) => e.tagName), "SELECT");
    assert.equal(await control("CMB_B").getAttribute("disabled"), "");
    assert.equal(await control("CMB_A").getAttribute("disabled"), null);
    assert.equal(await control("CHK_C").isChecked(), true);
    assert.equal(await control("CHK_C").getAttribute("type"), "checkbox");
    assert.equal(await control("CHK_HIDDEN").isVisible(), false);
    assert.equal(await control("TXT_STEP").getAttribute("maxlength"), "3");
    assert.equal(await control("TXT_CODDOC").getAttribute("maxlength"), "14");
    assert.equal(await control("LBL_CODDOC").textContent(), "Codice documento");
    assert.equal(await page.locator('[data-frame="FRA_INDICATORI"] legend').textContent(), "Indicatori");

    await control("CMB_A").selectOption("0");
    await control("CHK_C").uncheck();
    assert.deepEqual(await sent(), [
        { type: "setValue", control: "CMB_A", value: "0" },
        { type: "setValue", control: "CHK_C", value: 0 },
    ]);
});

test("edits keep to their length, refuse letters when numeric and report the text on leaving", async () => {
    await show(snapshot());
    await control("TXT_STEP").fill("");
    await control("TXT_STEP").pressSequentially("a1b2c34");
    assert.equal(await control("TXT_STEP").inputValue(), "123");
    await control("TXT_STEP").press("Tab");
    assert.deepEqual(await sent(), [{ type: "leaveField", control: "TXT_STEP", text: "123" }]);
    assert.equal(await page.evaluate(() => document.activeElement?.tagName), "BUTTON", "Tab goes on");
});

test("F3 or the key button opens the lookup of a code field", async () => {
    await show(snapshot());
    await control("TXT_CODDOC").focus();
    await page.keyboard.press("F3");
    await page.locator('[data-key-button="TXT_CODDOC"]').click();
    assert.deepEqual(await sent(), [
        { type: "openLookup", control: "TXT_CODDOC" },
        { type: "openLookup", control: "TXT_CODDOC" },
    ]);
});

test("side-bar items show the current page and ignore clicks when disabled", async () => {
    await show(snapshot());
    const item = (key) => page.locator(`[data-item="${key}"]`);
    assert.equal(await item("ITM_PRG_INDGES").getAttribute("aria-current"), "page");
    assert.equal(await item("ITM_PRD_IND").getAttribute("aria-current"), null);
    assert.equal(await item("ITM_PRD_PRD").getAttribute("aria-disabled"), "true");
    assert.equal(await item("ITM_PRD_IND").getAttribute("aria-disabled"), null);
    await item("ITM_PRD_PRD").click({ force: true }); // a person can still click it
    await item("ITM_PRD_IND").click();
    assert.deepEqual(await sent(), [{ type: "clickItem", item: "ITM_PRD_IND" }]);
});

test("navigator bars carry their buttons", async () => {
    await show(snapshot());
    const button = (bar, key) => page.locator(`[data-gridnav="${bar}"][data-button="${key}"]`);
    assert.equal(await button("INTERNAV_PARAMETRI", "primo").getAttribute("disabled"), "");
    assert.equal(await button("INTERNAV_PARAMETRI_DOC", "primo").isVisible(), false);
    await button("INTERNAV_PARAMETRI", "nuovo").click();
    assert.deepEqual(await sent(), [{ type: "navigatorButton", bar: "INTERNAV_PARAMETRI", button: "nuovo" }]);
});

test("message boxes offer the buttons of their style and Enter answers the default one", async () => {
    const cases = [
        { style: 0, answers: ["1"], preferred: 1 },
        { style: 4, answers: ["6", "7"], preferred: 6 },
        { style: 36, answers: ["6", "7"], preferred: 6 },
        { style: 48, answers: ["1"], preferred: 1 },
        { style: 64, answers: ["1"], preferred: 1 },
        { style: 4370, answers: ["3", "4", "5"], preferred: 4 },
    ];
    const text = "Il cambio azienda comporta la chiusura del programma, proseguo ?";
    for (const { style, answers, preferred } of cases) {
        await show(snapshot({ messageBox: { id: 30178, text, buttons: style, title: "Parametri di gestione" } }));
        const dialog = page.locator('[role="dialog"][data-message-id="30178"]');
        assert.match(await dialog.textContent(), new RegExp(text.replace(/[?]/g, "\\?")), `style ${style}`);
        const shown = await dialog.locator("[data-answer]").evaluateAll((b) => b.map((e) => e.dataset.answer));
        assert.deepEqual(shown, answers, `style ${style}`);
        assert.equal(await page.locator(".window-content").evaluate((e) => e.inert), true, "the window waits");
        await page.keyboard.press("Enter");
        assert.deepEqual(await sent(), [{ type: "answer", messageId: 30178, answer: preferred }], `style ${style}`);
    }
});

test("lookup lists narrow their rows with the search box and return the chosen code", async () => {
    const lookup = {
        control: "TXT_CODDOC",
        title: "Documenti",
        columns: [
            { name: "MG3G_CODDOCUM_MG36", caption: "Codice" },
            { name: "MG36_DESCDOCUM", caption: "Descrizione" },
        ],
        rows: [
            { code: "ORDPRD", cells: ["ORDPRD", "Ordine di produzione"] },
            { code: "BOLLAV", cells: ["BOLLAV", "Bolla di lavorazione"] },
            { code: "DDTCL", cells: ["DDTCL", "DDT conto lavoro"] },
        ],
    };
    await show(snapshot({ lookup }));
    const list = page.locator('[data-lookup="TXT_CODDOC"]');
    const visibleRows = () =>
        list.locator("[data-lookup-row]").evaluateAll((rows) => rows.filter((r) => !r.hidden).map((r) => r.dataset.lookupRow));
    assert.deepEqual(await visibleRows(), ["ORDPRD", "BOLLAV", "DDTCL"]);
    await page.keyboard.type("lavor");
    assert.deepEqual(await visibleRows(), ["BOLLAV", "DDTCL"]);
    await page.keyboard.press("Enter");
    await list.locator('[data-lookup-row="DDTCL"]').click();
    assert.deepEqual(await sent(), [
        { type: "chooseLookupRow", control: "TXT_CODDOC", code: "BOLLAV" },
        { type: "chooseLookupRow", control: "TXT_CODDOC", code: "DDTCL" },
    ]);
});

test("a later snapshot updates the window in place: focus, typing and unchanged parts stay", async () => {
    const withStep = (value, extra = {}) => {
        const state = snapshot(extra);
        state.page.frames[0].controls = state.page.frames[0].controls.map((c) =>
            c.name === "TXT_STEP" ? { ...c, value } : c.name === "CMB_B" ? { ...c, enabled: value !== "10" } : c,
        );
        return state;
    };
    await show(withStep("10"));
    await page.evaluate(() => {
        window.marked = document.querySelector('[data-control="CMB_A"]');
        window.bar = document.querySelector('[data-gridnav-bar="INTERNAV_PARAMETRI"]');
    });
    await control("TXT_CODDOC").focus();
    await control("TXT_CODDOC").pressSequentially("DOC");

    await update(withStep("20", { notice: "Parametri salvati" }));
    assert.equal(await control("TXT_STEP").inputValue(), "20", "a changed value is shown");
    assert.equal(await control("CMB_B").getAttribute("disabled"), null, "a changed state is shown");
    assert.equal(await page.locator(".window-notice").textContent(), "Parametri salvati");
    assert.equal(await control("TXT_CODDOC").inputValue(), "DOC", "what is being typed stays");
    assert.equal(await page.evaluate(() => document.activeElement?.dataset.control), "TXT_CODDOC");
    assert.equal(
        await page.evaluate(() => document.querySelector('[data-control="CMB_A"]') === window.marked),
        true,
        "elements are kept, not drawn again",
    );
    assert.equal(
        await page.evaluate(() => document.querySelector('[data-gridnav-bar="INTERNAV_PARAMETRI"]') === window.bar),
        true,
    );

    // A change the window refused comes back as the same snapshot: the box shows the window's value.
    await control("CHK_C").uncheck();
    await update(withStep("20", { notice: "Parametri salvati" }));
    assert.equal(await control("CHK_C").isChecked(), true);
    await control("CMB_A").selectOption("0");
    await update(withStep("20", { notice: "Parametri salvati" }));
    assert.equal(await control("CMB_A").inputValue(), "1");
    assert.deepEqual(
        (await sent()).map((a) => `${a.type} ${a.control}`),
        ["leaveField TXT_CODDOC", "setValue CHK_C", "setValue CMB_A"],
        "leaving the typed field and each change reach the window",
    );
});
