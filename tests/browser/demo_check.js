// Drives the demo person page in headless Chromium: the list, the edit links shown by the
// toolbar's modify button, the edit form, and the calendar writing a chosen day into the
// birthday field. Saves screenshots into out/ and exits non-zero when a check fails.
//   node demo_check.js http://127.0.0.1:PORT
const { chromium } = require("playwright-core");
const fs = require("fs");

const base = process.argv[2];
const failures = [];
function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

(async () => {
  fs.mkdirSync(`${__dirname}/out`, { recursive: true });
  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  const page = await browser.newPage({ viewport: { width: 1000, height: 760 } });
  const broken = [];
  page.on("response", (r) => { if (r.status() >= 400) broken.push(`${r.status()} ${r.url()}`); });
  page.on("pageerror", (e) => broken.push(`script error: ${e.message}`));

  await page.goto(`${base}/person/index.asp`);
  check((await page.locator("table.tbl tr").count()) === 21, "list shows a header and 20 rows");
  check(await page.locator("text=共3页 共50项").isVisible(), "page bar counts 3 pages and 50 items");
  const cssApplied = await page.evaluate(() =>
      getComputedStyle(document.querySelector(".title")).fontWeight);
  check(cssApplied === "700", "style sheet is applied");
  await page.screenshot({ path: `${__dirname}/out/list.png`, fullPage: false });

  await page.click("text=修改");
  check(await page.locator("a#updateID").first().isVisible(), "modify button shows the edit links");
  const iconLoaded = await page.evaluate(() => {
    const img = document.querySelector("a#updateID img");
    return img.complete && img.naturalWidth === 16;
  });
  check(iconLoaded, "edit icon loads");
  await page.screenshot({ path: `${__dirname}/out/list-edit-links.png` });

  await page.locator("a#updateID").first().click();
  await page.waitForLoadState();
  check((await page.locator("input[name=name]").count()) === 1, "edit form has the name field");
  await page.click("#Cal1");
  check(await page.locator("#calendar").isVisible(), "calendar button opens the calendar");
  await page.screenshot({ path: `${__dirname}/out/form-calendar.png` });
  await page.locator("#calendar td.day", { hasText: /^15$/ }).click();
  const birthday = await page.inputValue("input[name=birthday]");
  check(/^\d{4}-\d{2}-15$/.test(birthday), `choosing day 15 writes the date (${birthday})`);
  check(!(await page.locator("#calendar").isVisible()), "calendar closes after the choice");

  check(broken.length === 0, `no failed requests or script errors ${broken.join("; ")}`);
  await browser.close();
  process.exit(failures.length ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(2); });
