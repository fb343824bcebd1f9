// Takes the picture of the host shown in README.md: node screenshot.mjs <file.png>
// (run by scripts/e2e.sh --screenshot, which starts the host).

import { openBrowser, signIn } from "./browser.mjs";

const file = process.argv[2] ?? "screenshot.png";
const browser = await openBrowser();
try {
    const page = await browser.newPage();
    await page.setViewportSize({ width: 1280, height: 720 });
    await signIn(page, "demo", "demo");
    await page.screenshot({ path: file });
    console.log(`screenshot: ${file}`);
} finally {
    await browser.close();
}
