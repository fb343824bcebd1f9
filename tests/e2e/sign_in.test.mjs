import assert from "node:assert/strict";
import { after, before, test } from "node:test";

import { fillSignIn, openBrowser, optionValues, signIn } from "./browser.mjs";

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

test("demo signs in and works in companies 1 and 2", async () => {
    const page = await browser.newPage();
    await signIn(page, "demo", "demo");
    const company = page.locator('[data-control="host-company"]');
    assert.deepEqual(await optionValues(company), ["1", "2"]);
    assert.equal(await company.inputValue(), "1");

    const entry = page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]');
    assert.match(await entry.textContent(), /Parametri di gestione/);
    const names = await page
        .locator("[data-host-button]")
        .evaluateAll((buttons) => buttons.map((b) => b.dataset.hostButton));
    assert.deepEqual(names, ["Nuovo", "Conferma", "Annulla", "Stampa", "Media", "Storico", "Verifica", "Chiudi"]);

    await company.selectOption("2");
    await page.waitForFunction(async () => (await (await fetch("/api/session")).json()).company === 2);
    await page.reload();
    await page.locator('[data-control="host-company"] option').first().waitFor({ state: "attached" });
    assert.equal(await page.locator('[data-control="host-company"]').inputValue(), "2");
    await page.close();
});

test("a wrong password is refused with the message", async () => {
    const page = await browser.newPage();
    await fillSignIn(page, "demo", "sbagliata");
    const message = page.locator('[data-message="login"]');
    await message.waitFor({ state: "visible" });
    assert.equal(await message.textContent(), "Utente o password non validi.");
    assert.equal(new URL(page.url()).pathname, "/login.html");
    assert.equal(await page.locator('[data-control="host-company"]').count(), 0);
    await page.close();
});

test("signing out ends the session", async () => {
    const page = await browser.newPage();
    await signIn(page, "demo", "demo");
    await page.locator('[data-host="sign-out"]').click();
    await page.waitForURL((url) => url.pathname === "/login.html");
    const status = await page.evaluate(async () => (await fetch("/api/session")).status);
    assert.equal(status, 401);
    await page.close();
});
