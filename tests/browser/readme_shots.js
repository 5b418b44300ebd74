// Draws the README's screenshots of the demo into docs/: 李明's month in the frame, the
// leaders' month overview, and a permission group's menu rights.
//   node readme_shots.js http://127.0.0.1:PORT    (a freshly seeded demo; run.sh starts one)
const { chromium } = require("playwright-core");
const path = require("path");

const base = process.argv[2];
const docs = path.join(__dirname, "..", "..", "docs");

async function signedIn(browser, name) {
  const page = await browser.newPage({ viewport: { width: 1024, height: 600 } });
  await page.goto(`${base}/login.asp`);
  await page.fill("input[name=username]", name);
  await page.fill("input[name=password]", "balance");
  await Promise.all([page.waitForNavigation(), page.click("input[type=submit]")]);
  return page;
}

(async () => {
  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  const li = await signedIn(browser, "李明");
  await li.frameLocator("#main").locator("td[onclick]").first().waitFor();
  await li.screenshot({ path: path.join(docs, "demo-month.png") });
  const admin = await signedIn(browser, "admin");
  await admin.frameLocator("#main").locator("td.td2").first().waitFor();
  await admin.screenshot({ path: path.join(docs, "demo-leaders.png") });
  await admin.click(".obar-title:has-text('系统管理')");
  await admin.click(".obar-item:text-is('权限组')");
  const main = admin.frameLocator("#main");
  await main.locator("#groups a:has-text('设置权限')").nth(1).click();
  await main.locator("#granted").waitFor();
  await admin.screenshot({ path: path.join(docs, "demo-rights.png") });
  await browser.close();
})().catch((e) => { console.error(e); process.exit(1); });
