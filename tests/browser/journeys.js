// The demo as its users go through it, in headless Chromium: signing in (a wrong password, the
// administrator, 李明 and the pages refused to him), a plan added from the month view and seen in
// every view, the date selectors, a permission group created, granted and given a member, a file
// uploaded and downloaded, and person maintenance with sorting, paging, search, the column
// chooser and the calendar. Every page must load without a failed request or a script error.
// Screenshots go to out/. Exits non-zero when a check fails.
//   node journeys.js http://127.0.0.1:PORT [UPLOAD_DRIVE_FOLDER]
const { chromium } = require("playwright-core");
const fs = require("fs");
const os = require("os");
const path = require("path");

const base = process.argv[2];
const drive = process.argv[3];  // the upload drive's folder, when the runner gives it
const out = path.join(__dirname, "out");
const failures = [];

function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

// One signed-in person: a browser context of his own that records every failed request and
// script error, except the refusals a journey expects.
class User {
  constructor(browser, name) {
    this.browser = browser;
    this.name = name;
    this.expected = new Set();
  }

  async open() {
    this.context = await this.browser.newContext({ viewport: { width: 1280, height: 820 } });
    this.page = await this.context.newPage();
    this.problems = [];
    this.page.on("response", (r) => {
      const where = new URL(r.url()).pathname;
      if (r.status() >= 400 && !this.expected.has(`${r.status()} ${where}`)) {
        this.problems.push(`${r.status()} ${r.url()}`);
      }
    });
    this.page.on("pageerror", (e) => this.problems.push(`script error: ${e.message}`));
    this.page.on("console", (m) => {
      if (m.type() === "error" && !/Failed to load resource/.test(m.text())) {
        this.problems.push(`console: ${m.text()}`);
      }
    });
    return this;
  }

  async signIn(password = "balance") {
    await this.page.goto(`${base}/login.asp`);
    await this.page.fill("input[name=username]", this.name);
    await this.page.fill("input[name=password]", password);
    await Promise.all([this.page.waitForNavigation(), this.page.click("input[type=submit]")]);
  }

  async signOut() {
    await this.page.goto(`${base}/logout.asp`);
  }

  // The frame's menu: bar titles and item texts.
  async menu() {
    const frame = this.page;
    await frame.waitForSelector("#outlook .obar-title");
    return {
      titles: await frame.locator(".obar-title").allTextContents(),
      items: await frame.locator(".obar-item").allTextContents(),
    };
  }

  async shot(name) {
    await this.page.screenshot({ path: path.join(out, `${name}.png`) });
  }

  async close() {
    check(this.problems.length === 0,
          `${this.name}: no failed request or script error ${this.problems.join("; ")}`);
    await this.context.close();
  }
}

// Clicks what leads to another page and waits for it.
async function follow(page, selector) {
  await Promise.all([page.waitForNavigation(), page.click(selector)]);
}

function isoDay(d) {
  const pad = (n) => String(n).padStart(2, "0");
  return `${d.getFullYear()}-${pad(d.getMonth() + 1)}-${pad(d.getDate())}`;
}

// The Saturday of next week: seeded plans leave weekends free, so the new plan stands alone.
function freeDay() {
  const d = new Date();
  d.setDate(d.getDate() + 7 + ((6 - d.getDay() + 7) % 7));
  return d;
}

async function signingIn(browser) {
  const visitor = await new User(browser, "李明").open();
  await visitor.page.goto(`${base}/`);
  check(visitor.page.url().endsWith("/login.asp"), "an unsigned visitor is sent to the sign-in page");
  await visitor.signIn("wrong-password");
  check(await visitor.page.locator("#loginMessage").isVisible(), "a wrong password is refused");
  await visitor.shot("login-refused");
  await visitor.page.goto(`${base}/scheduler/personMonth.asp`);
  check(visitor.page.url().endsWith("/login.asp"), "a refused sign-in leaves no session");
  await visitor.close();

  const admin = await new User(browser, "admin").open();
  await admin.signIn();
  check(admin.page.url().endsWith("/index.asp"), "admin signs in to the frame");
  const adminMenu = await admin.menu();
  check(["日程安排", "文件管理", "基础数据", "系统管理"].every((t) => adminMenu.titles.includes(t)),
        `admin sees every menu bar (${adminMenu.titles})`);
  await admin.page.click(".obar-title:has-text('系统管理')");
  check(await admin.page.locator(".obar-item:has-text('权限组')").isVisible(),
        "a bar opens its items");
  await admin.page.frameLocator("#main").locator(".schh").first().waitFor();
  await admin.shot("frame-admin");
  await admin.close();

  const li = await new User(browser, "李明").open();
  await li.signIn();
  const liMenu = await li.menu();
  check(liMenu.titles.includes("日程安排") && liMenu.titles.includes("同事日程"),
        `李明 sees the schedules and his colleagues (${liMenu.titles})`);
  check(!liMenu.titles.includes("系统管理") && !liMenu.titles.includes("基础数据"),
        "李明 does not see the administration");
  await li.page.frameLocator("#main").locator("td[onclick]").first().waitFor();
  await li.shot("frame-liming");
  for (const refused of ["/permission/permission.asp", "/permission/permissionset.asp",
                         "/tables/dept.asp"]) {
    li.expected.add(`403 ${refused}`);
    const answer = await li.page.goto(`${base}${refused}?id=1`);
    check(answer.status() === 403, `李明 is refused ${refused}`);
  }
  await li.shot("refused");
  await li.close();
}

async function addingAPlan(browser) {
  const li = await new User(browser, "李明").open();
  await li.signIn();
  const page = li.page;
  const day = freeDay();
  const dt = isoDay(day);
  await page.goto(`${base}/scheduler/personMonth.asp?dt=${dt}`);
  await follow(page, `td[onclick="manage('${dt}');"]`);
  check(page.url().includes("/scheduler/manage.asp"), "clicking a day opens its plans");
  await follow(page, "table.menu a:text-is('添加')");
  await page.selectOption("select[name=planAddrTypeID]", { label: "外地" });
  await page.selectOption("select[name=planAddrID]", { label: "西安" });
  await page.selectOption("select[name=planTypeID]", { label: "出差" });
  await page.fill("input[name=planContent]", "浏览器测试：西安项目验收");
  check(await page.inputValue("input[name=planStartTime]") === dt, "the form starts on the day");
  await li.shot("manage-form");
  await Promise.all([page.waitForNavigation(), page.click("input[value=提交添加]")]);
  check(await page.locator("text=插入成功").isVisible(), "the plan is saved");
  await follow(page, "table.menu a:text-is('返回')");
  check(await page.locator("td:has-text('浏览器测试：西安项目验收')").isVisible(),
        "the day's list shows the new plan");
  await li.shot("manage-list");

  await follow(page, "text=返回月计划");
  const cell = page.locator(`td[onclick="manage('${dt}');"]`);
  check((await cell.getAttribute("class")) === "sch3" && (await cell.textContent()).includes("外地:西安"),
        "the month view shows the plan in its day, coloured as 外地");
  await page.goto(`${base}/scheduler/personWeek.asp?dt=${dt}`);
  check(await page.locator(".Outside:has-text('外地:西安')").isVisible(), "the week view lists it");
  await li.shot("week-with-plan");
  await page.goto(`${base}/scheduler/leaderWeek.asp?dt=${dt}`);
  const row = page.locator("tr", { has: page.locator("td.td2", { hasText: /^李明$/ }) });
  check((await row.locator("td.sch3", { hasText: "外地:西安" }).count()) === 1,
        "the leaders' week overview shows it in 李明's row");
  await page.goto(`${base}/scheduler/leaderMonth.asp?dt=${dt}`);
  const cells = row.locator("td[title]");
  const titled = await cells.nth(day.getDate() - 1).getAttribute("title");
  check(titled.includes("外地:西安"), "the leaders' month overview shows it as the day's tooltip");
  await li.shot("leader-month");
  await page.goto(`${base}/scheduler/leader2Month.asp?dt=${dt}&deptID=2`);
  check((await page.locator("td.td2").allTextContents()).includes("李明"),
        "the department overview lists 李明 among his department");

  // Another person's month: the days open nothing, and private plans stay hidden.
  await page.goto(`${base}/scheduler/personMonth.asp?personID=6&dt=${dt}`);
  check((await page.locator(".bar .name").textContent()).startsWith("陈静"), "a colleague's month opens");
  await page.click(`td[onclick="manage('${dt}');"]`);
  check(page.url().includes("personMonth.asp"), "a colleague's day does not open the plan page");
  li.expected.add("403 /scheduler/manage.asp");
  const foreign = await page.goto(`${base}/scheduler/manage.asp?personID=6&dt=${dt}`);
  check(foreign.status() === 403, "李明 cannot manage a colleague's plans");
  await li.close();
}

async function movingThroughDates(browser) {
  const li = await new User(browser, "李明").open();
  await li.signIn();
  const page = li.page;
  await page.goto(`${base}/scheduler/personMonth.asp?dt=2027-03-31`);
  const label = () => page.locator(".selector").textContent();
  check((await label()).includes("2027年3月"), "the month selector names the month");
  await follow(page, "img[src$='jian2.gif']");
  check((await label()).includes("2027年4月") && page.url().includes("dt=2027-04-30"),
        "a month forward from 31 March is 30 April");
  await follow(page, "img[src$='jian3.gif']");
  check((await label()).includes("2026年4月"), "a year back");
  await follow(page, "img[src$='jian1.gif']");
  check((await label()).includes("2026年3月"), "a month back");
  await follow(page, "a:has-text('周计划')");
  check(page.url().includes("personWeek.asp"), "the switch bar opens the week view");
  const week = await label();
  await follow(page, "img[src$='jian2.gif']");
  check((await label()) !== week, `a week forward changes the week (${await label()})`);
  await follow(page, "img[src$='jian1.gif']");
  check((await label()) === week, "and a week back returns");
  await li.shot("week-selector");
  await follow(page, "a:has-text('月计划')");
  check(page.url().includes("personMonth.asp"), "the switch bar returns to the month view");
  await page.goto(`${base}/scheduler/leader2Week.asp`);
  await Promise.all([page.waitForNavigation(), page.selectOption("#deptID", { label: "财务处" })]);
  check((await page.locator("td.td2").allTextContents()).includes("沈红"),
        "the department selector shows another department");
  await follow(page, "img[src$='jian2.gif']");
  check((await page.locator("#deptID option:checked").textContent()) === "财务处",
        "and keeps it while moving through the weeks");
  await li.close();
}

async function grantingAGroup(browser) {
  const admin = await new User(browser, "admin").open();
  await admin.signIn();
  const page = admin.page;
  await page.goto(`${base}/permission/permission.asp`);
  await page.fill("#newGroup", "数据维护组");
  await Promise.all([page.waitForNavigation(), page.click("input[value=添加]")]);
  const row = page.locator("#groups tr", { hasText: "数据维护组" });
  check(await row.isVisible(), "a new group is listed");

  await Promise.all([page.waitForNavigation(), row.locator("text=设置权限").click()]);
  await page.selectOption("#allItems", { label: "　　○日程设置" });
  await page.click("#grant");
  const granted = await page.locator("#granted option").allTextContents();
  check(granted.some((t) => t.includes("基础数据")) && granted.some((t) => t.includes("地点类别")),
        `granting an item grants its parent and its children (${granted.length} items)`);
  await admin.shot("permission-set");
  await Promise.all([page.waitForNavigation(), page.click("input[value=保存权限]")]);
  check(await page.locator("#saveMessage:has-text('权限修改成功')").isVisible(), "the rights are saved");
  check((await page.locator("#granted option").count()) === granted.length,
        "the saved rights come back from the database");

  await page.goto(`${base}/permission/permission.asp`);
  await Promise.all([page.waitForNavigation(), row.locator("text=设置人员").click()]);
  await page.locator("span:text-is('李明　') + input").check();
  await Promise.all([page.waitForNavigation(), page.click("input[value=保存人员]")]);
  check(await page.locator("#saveMessage:has-text('人员修改成功')").isVisible(), "the members are saved");
  check(await page.locator("span.checked:text-is('李明　') + input").isChecked(), "李明 is a member");
  await admin.shot("permission-members");

  const li = await new User(browser, "李明").open();
  await li.signIn();
  const menu = await li.menu();
  check(menu.titles.includes("基础数据") && menu.items.includes("地点类别"),
        `signed in again, 李明 sees the granted items (${menu.items})`);
  check(!menu.items.includes("人员管理"), "and only those");
  await li.page.click(".obar-title:has-text('基础数据')");
  await li.page.click(".obar-item:text-is('地点')");
  await li.page.frameLocator("#main").locator("text=共1页").waitFor();
  await li.shot("liming-granted");
  await li.close();

  // Deleting the group takes its rights and members with it.
  await page.goto(`${base}/permission/permission.asp`);
  await Promise.all([page.waitForNavigation(), row.locator("text=删除").click()]);
  await Promise.all([page.waitForNavigation(), page.click("input[value=确定删除]")]);
  check(!(await page.locator("#groups tr", { hasText: "数据维护组" }).count()), "the group is deleted");
  const again = await new User(browser, "李明").open();
  await again.signIn();
  check(!(await again.menu()).titles.includes("基础数据"), "its rights went with it");
  await again.close();
  await admin.close();
}

async function uploading(browser) {
  const li = await new User(browser, "李明").open();
  await li.signIn();
  const page = li.page;
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "balance-upload-"));
  const file = path.join(folder, "会议纪要.txt");
  const content = Buffer.concat([Buffer.from("第三季度工作会议纪要\r\n"), Buffer.from([0, 1, 2, 255])]);
  fs.writeFileSync(file, content);
  await page.goto(`${base}/upload/index.asp`);
  await page.setInputFiles("input[name=file]", file);
  await Promise.all([page.waitForNavigation(), page.click("input[value=上传]")]);
  check(await page.locator("#uploadMessage:has-text('会议纪要.txt')").isVisible(),
        "the upload is received under its Chinese name");
  if (drive) {
    const stored = path.join(drive, "upload", "5", "会议纪要.txt");
    check(fs.existsSync(stored) && Buffer.compare(fs.readFileSync(stored), content) === 0,
          "into 李明's own folder");
  }
  const link = page.locator("#files a.download", { hasText: "会议纪要.txt" });
  check(await link.isVisible(), "the file is listed");
  await li.shot("upload");
  const [download] = await Promise.all([page.waitForEvent("download"), link.click()]);
  check(download.suggestedFilename() === "会议纪要.txt", "the download keeps the name");
  const saved = await download.path();
  check(Buffer.compare(fs.readFileSync(saved), content) === 0, "and the exact bytes");
  const href = await link.getAttribute("href");
  check(/^download\.asp\?p=5&name=[^/]+$/.test(href), `files are served through a page (${href})`);

  const other = await new User(browser, "陈静").open();
  await other.signIn();
  other.expected.add("404 /upload/download.asp");
  const foreign = await other.page.goto(`${base}/upload/${href}`);
  check(foreign.status() === 404, "another person cannot download it");
  await other.page.goto(`${base}/upload/index.asp`);
  check(!(await other.page.locator("#files a.download").count()), "nor sees it in her list");
  await other.close();

  page.once("dialog", (d) => d.accept());
  await Promise.all([page.waitForNavigation(),
                     page.locator("#files tr", { hasText: "会议纪要.txt" }).locator("input[value=删除]").click()]);
  check(!(await page.locator("#files a.download").count()), "李明 deletes his file");
  await li.close();
}

async function maintainingPersons(browser) {
  const admin = await new User(browser, "admin").open();
  await admin.signIn();
  const page = admin.page;
  const names = () => page.locator("table.tbl tr td:nth-child(3)").allTextContents();
  await page.goto(`${base}/person/index.asp`);
  check(await page.locator("text=共3页 共50项").isVisible(), "the person list has 50 persons on 3 pages");
  await follow(page, "table.tbl th a:has-text('姓名')");
  check(await page.locator("th:has-text('姓名 ▲')").isVisible(), "sorting by name marks the column");
  const first = (await names()).map((n) => n.trim());
  check(first.length === 20 && first.every((n, i) => i === 0 || first[i - 1] <= n),
        "the page is in name order");
  await follow(page, "text=下一页");
  const second = (await names()).map((n) => n.trim());
  check(second[0] >= first[19], "the second page goes on in name order");
  await admin.shot("person-sorted");

  await follow(page, "table.menu a:text-is('查询')");
  await page.fill("input[name=personName]", "晓");
  await Promise.all([page.waitForNavigation(), page.click("input[value=提交查询]")]);
  const found = (await names()).map((n) => n.trim());
  check(found.length >= 2 && found.every((n) => n.includes("晓")), `search finds ${found}`);

  await follow(page, "table.menu a:text-is('设置')");
  await page.uncheck("input[name=choseItem][value=email]");
  await page.uncheck("input[name=choseItem][value=phone]");
  await page.fill("input[name=pageSize]", "10");
  await Promise.all([page.waitForNavigation(), page.click("input[value=设定显示列]")]);
  check(!(await page.locator("th:has-text('电子邮件')").count()), "the column chooser hides a column");
  check(await page.locator("text=共5页 共50项").isVisible(), "and sets 10 rows a page");
  await admin.shot("person-columns");

  await page.click("table.menu a:text-is('修改')");
  await Promise.all([page.waitForNavigation(), page.locator("a#updateID").nth(4).click()]);
  await page.click("#Cal1");
  check(await page.locator("#calendar").isVisible(), "the birthday field has its calendar");
  await admin.shot("person-calendar");
  await page.locator("#calendar td.day", { hasText: /^15$/ }).click();
  check(/^\d{4}-\d{2}-15$/.test(await page.inputValue("input[name=birthday]")),
        "choosing a day writes the date");
  await page.fill("input[name=phone]", "010-88886666");
  await Promise.all([page.waitForNavigation(), page.click("input[value=提交修改]")]);
  check(await page.locator("td:has-text('010-88886666')").count() === 0,
        "the phone column stays hidden after saving");
  await follow(page, "table.menu a:text-is('设置')");
  await page.check("input[name=choseItem][value=phone]");
  await Promise.all([page.waitForNavigation(), page.click("input[value=设定显示列]")]);
  check(await page.locator("td:has-text('010-88886666')").isVisible(), "the edit is saved");
  await admin.close();
}

(async () => {
  fs.mkdirSync(out, { recursive: true });
  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"],
  });
  for (const journey of [signingIn, addingAPlan, movingThroughDates, grantingAGroup, uploading,
                         maintainingPersons]) {
    console.log(`-- ${journey.name}`);
    await journey(browser);
  }
  await browser.close();
  console.log(failures.length ? `${failures.length} check(s) failed` : "all checks passed");
  process.exit(failures.length ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(2); });
