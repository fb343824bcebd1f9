import assert from "node:assert/strict";
import { after, before, test } from "node:test";

import { baseUrl, openBrowser, optionValues, signIn } from "./browser.mjs";

let browser;
before(async () => {
    browser = await openBrowser();
});
after(async () => {
    await browser?.close();
});

test("a signed-out request to the API gets 401 and reaches nothing", async () => {
    const request = browser.context.request;
    const cases = [
        ["GET", "/api/session"],
        ["POST", "/api/company"],
        ["POST", "/api/window"],
        ["POST", "/api/window/w1/action"],
    ];
    for (const [method, path] of cases) {
        const response = await request.fetch(`${baseUrl}${path}`, {
            method,
            data: method === "POST" ? { company: 2 } : undefined,
            failOnStatusCode: false,
            maxRedirects: 0,
        });
        assert.equal(response.status(), 401, `${method} ${path}`);
        const body = await response.json();
        assert.deepEqual(Object.keys(body), ["error"], `${method} ${path}`);
    }

    const page = await browser.newPage();
    await page.goto("/");
    assert.equal(new URL(page.url()).pathname, "/login.html", "the host frame leads to the sign-in page");
    await page.close();
});

test("ospite cannot work in company 2, not even by a forged request", async () => {
    const page = await browser.newPage();
    await signIn(page, "ospite", "ospite");
    const company = page.locator('[data-control="host-company"]');
    assert.deepEqual(await optionValues(company), ["1"]);

    const forged = await page.evaluate(async () => {
        const session = await (await fetch("/api/session")).json();
        const response = await fetch("/api/company", {
            method: "POST",
            headers: { "Content-Type": "application/json", "X-Zovrena-Csrf": session.csrfToken },
            body: JSON.stringify({ company: 2 }),
        });
        const after = await (await fetch("/api/session")).json();
        return { status: response.status, body: await response.json(), company: after.company };
    });
    assert.equal(forged.status, 403);
    assert.equal(forged.body.error, "La ditta 2 non è abilitata per l'utente.");
    assert.equal(forged.company, 1);

    // The same through the page: an option slipped into the selector.
    await company.evaluate((select) => select.append(new Option("2 - falsa", "2")));
    await company.selectOption("2");
    const notice = page.locator('[data-host="notice"]');
    await notice.waitFor({ state: "visible" });
    assert.equal(await notice.textContent(), "La ditta 2 non è abilitata per l'utente.");
    assert.deepEqual(await optionValues(company), ["1"]);
    assert.equal(await company.inputValue(), "1");
    await page.close();
});

test("a request without the session's CSRF token changes nothing", async () => {
    const page = await browser.newPage();
    await signIn(page, "demo", "demo");
    const result = await page.evaluate(async () => {
        const response = await fetch("/api/company", {
            method: "POST",
            headers: { "Content-Type": "application/json" },
            body: JSON.stringify({ company: 2 }),
        });
        const after = await (await fetch("/api/session")).json();
        return { status: response.status, company: after.company };
    });
    assert.deepEqual(result, { status: 403, company: 1 });
    await page.close();
});
