// Takes the picture of the host shown in README.md: node screenshot.mjs <file.png>
// (run by scripts/e2e.sh --screenshot, which starts the host): the program window on the
// management indicators page of company 1.

import { openBrowser, signIn } from "./browser.mjs";

const file = process.argv[2] ?? "screenshot.png";
const browser = await openBrowser();
try {
    const page = await browser.newPage();
    await page.setViewportSize({ width: 1280, height: 900 });
    await signIn(page, "demo", "demo");
    await page.locator('[data-menu="DUZA_ZOVRENA.CLSPD_ZOVRENA"]:not([disabled])').click();
    await page.locator('[data-item="ITM_PRG_INDGES"]').click();
    await page.locator('[data-item="ITM_PRG_INDGES"][aria-current="page"]').waitFor();
    await page.screenshot({ path: file });
    console.log(`screenshot: ${file}`);
} finally {
    await browser.close();
}
