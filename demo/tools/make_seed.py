#!/usr/bin/env python3
"""Writes the demo's seed.sql: an office of about 50 persons, its places, menu, permission groups
and a schedule for everybody around the day the database is created.

Every person's password is "balance", stored as a salted Argon2id hash made with libsodium
(the same library and limits the host's balance.Password uses). The plans are SQL over
date('now','localtime'), so a database created on any day shows a full month around that day.

Run from the repository root: python3 demo/tools/make_seed.py
"""
import ctypes
import ctypes.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SEED = os.path.join(os.path.dirname(HERE), "seed.sql")
PASSWORD = b"balance"

DEPTS = ["局领导", "办公室", "人事处", "财务处", "规划处", "科技处", "信息中心", "后勤处"]
DUTIES = ["局长", "副局长", "处长", "副处长", "主任科员", "科员", "办事员", "系统管理员"]
GROUPS = {1: "在编", 2: "聘用", 7: "系统账号"}

# (name, sex, dept, duty): dept and duty are 1-based indexes into the lists above.
PERSONS = [
    ("admin", "男", 7, 8),
    ("王建国", "男", 1, 1), ("张伟", "男", 1, 2), ("刘芳", "女", 1, 2),
    ("李明", "男", 2, 3), ("陈静", "女", 2, 4), ("赵磊", "男", 2, 5), ("孙丽", "女", 2, 6),
    ("周洋", "男", 2, 6), ("吴敏", "女", 2, 7),
    ("郑强", "男", 3, 3), ("冯雪", "女", 3, 4), ("褚涛", "男", 3, 5), ("卫娜", "女", 3, 6),
    ("蒋勇", "男", 3, 6),
    ("沈红", "女", 4, 3), ("韩军", "男", 4, 4), ("杨帆", "男", 4, 5), ("朱琳", "女", 4, 6),
    ("秦海燕", "女", 4, 6), ("尤晓东", "男", 4, 7),
    ("许文博", "男", 5, 3), ("何婷", "女", 5, 4), ("吕志刚", "男", 5, 5), ("施雨轩", "女", 5, 6),
    ("张家豪", "男", 5, 6), ("孔令华", "男", 5, 6), ("曹雅琴", "女", 5, 7),
    ("严振华", "男", 6, 3), ("华颖", "女", 6, 4), ("金鹏", "男", 6, 5), ("魏嘉怡", "女", 6, 6),
    ("陶然", "男", 6, 6), ("姜思远", "男", 6, 6), ("戚晓梅", "女", 6, 7),
    ("谢宏伟", "男", 7, 3), ("邹玲", "女", 7, 4), ("喻博", "男", 7, 5), ("柏杨", "男", 7, 6),
    ("石芳芳", "女", 7, 6), ("窦亮", "男", 7, 7),
    ("章建平", "男", 8, 3), ("云秀英", "女", 8, 4), ("苏国庆", "男", 8, 5), ("潘小红", "女", 8, 6),
    ("葛建军", "男", 8, 6), ("范丽娟", "女", 8, 7), ("彭德海", "男", 8, 7), ("鲁晓燕", "女", 2, 6),
    ("马骏", "男", 3, 7),
]

ADDR_TYPES = ["机关", "北京", "外地", "国外", "休假"]
# (name, kind): kind is a 1-based index into ADDR_TYPES.
ADDRS = [
    ("第一会议室", 1), ("第二会议室", 1), ("局长办公室", 1), ("本处办公室", 1), ("多功能厅", 1),
    ("市政府", 2), ("市规划院", 2), ("中关村园区", 2), ("市档案馆", 2),
    ("上海", 3), ("广州", 3), ("成都", 3), ("西安", 3), ("杭州", 3),
    ("新加坡", 4), ("东京", 4),
    ("家中", 5),
]
PLAN_TYPES = ["会议", "调研", "出差", "培训", "接待", "办公", "休假"]
FLAGS = {1: "公开", 2: "个人"}

# The three-level menu: (id, name, father, order, url).
MENU = [
    (1, "日程安排", None, 1, None),
    (2, "个人日程", 1, 1, None),
    (3, "我的月计划", 2, 1, "scheduler/personMonth.asp"),
    (4, "我的周计划", 2, 2, "scheduler/personWeek.asp"),
    (5, "领导日程", 1, 2, None),
    (6, "领导月汇总", 5, 1, "scheduler/leaderMonth.asp"),
    (7, "领导周汇总", 5, 2, "scheduler/leaderWeek.asp"),
    (8, "部门日程", 1, 3, None),
    (9, "部门月汇总", 8, 1, "scheduler/leader2Month.asp"),
    (10, "部门周汇总", 8, 2, "scheduler/leader2Week.asp"),
    (11, "文件管理", None, 2, None),
    (12, "文件上传", 11, 1, "upload/index.asp"),
    (13, "基础数据", None, 3, None),
    (14, "人员与机构", 13, 1, None),
    (15, "人员管理", 14, 1, "person/index.asp"),
    (16, "部门设置", 14, 2, "tables/dept.asp"),
    (17, "职务设置", 14, 3, "tables/duty.asp"),
    (18, "日程设置", 13, 2, None),
    (19, "地点类别", 18, 1, "tables/addrType.asp"),
    (20, "地点", 18, 2, "tables/addr.asp"),
    (21, "计划类型", 18, 3, "tables/planType.asp"),
    (22, "系统管理", None, 4, None),
    (23, "权限管理", 22, 1, None),
    (24, "权限组", 23, 1, "permission/permission.asp"),
    (25, "菜单设置", 22, 2, "tables/menu.asp"),
]
ALL_ITEMS = [m[0] for m in MENU]
SCHEDULE_ITEMS = list(range(1, 11))
PERSONAL_ITEMS = [1, 2, 3, 4]
FILE_ITEMS = [11, 12]

# Permission groups: (name, granted items, members chosen by (dept, duty)).
GROUP_DEFS = [
    ("系统管理组", ALL_ITEMS, lambda dept, duty: dept == 7 and duty in (3, 5)),
    ("处级以上领导", SCHEDULE_ITEMS + FILE_ITEMS, lambda dept, duty: duty <= 3),
    ("一般工作人员", PERSONAL_ITEMS + FILE_ITEMS, lambda dept, duty: 4 <= duty <= 7),
]

# A plan says where a person is on which days (the views show its place kind and place), so
# plans run from one day to another, midnight to midnight. Workday plans, picked per person and
# day: (kind, place, type, content).
DAY_PLANS = [
    (1, 4, 6, "处理日常工作"),
    (1, 4, 6, "起草季度工作总结"),
    (1, 1, 1, "参加局务会"),
    (1, 2, 1, "处务会，布置本周工作"),
    (1, 4, 6, "审核年度预算材料"),
    (1, 5, 4, "业务培训：档案管理规范"),
    (1, 3, 5, "接待来访单位"),
    (1, 2, 1, "项目评审会"),
    (1, 4, 6, "处理日常公文"),
    (2, 6, 1, "市政府专题会议"),
    (2, 7, 2, "规划项目现场调研"),
    (2, 8, 2, "走访园区企业"),
    (2, 9, 2, "查阅历史档案"),
]
TRIP_PLACES = [(3, 10), (3, 11), (3, 12), (3, 13), (3, 14)]


def sql_text(s):
    return "null" if s is None else "'" + str(s).replace("'", "''") + "'"


def password_hashes(count):
    lib = ctypes.CDLL(ctypes.util.find_library("sodium") or "libsodium.so.23")
    if lib.sodium_init() < 0:
        raise SystemExit("libsodium could not be initialised")
    out = []
    for _ in range(count):
        buf = ctypes.create_string_buffer(128)
        ok = lib.crypto_pwhash_str(buf, PASSWORD, ctypes.c_ulonglong(len(PASSWORD)),
                                   ctypes.c_ulonglong(lib.crypto_pwhash_opslimit_interactive()),
                                   ctypes.c_size_t(lib.crypto_pwhash_memlimit_interactive()))
        if ok != 0:
            raise SystemExit("crypto_pwhash_str failed")
        out.append(buf.value.decode())
    return out


def insert(table, columns, rows):
    head = "insert into %s(%s) values" % (table, ",".join(columns))
    return ["%s(%s);" % (head, ",".join(sql_text(v) if not isinstance(v, int) else str(v)
                                         for v in row)) for row in rows]


def values_table(rows):
    return ",\n    ".join("(" + ",".join(sql_text(v) if isinstance(v, str) else str(v)
                                          for v in row) + ")" for row in rows)


def plans_sql():
    """Plans of every person but the system accounts, 45 days either side of today: trips,
    journeys abroad and days off first, then a plan for most of the remaining workdays."""
    day_plans = values_table([(i,) + p for i, p in enumerate(DAY_PLANS)])
    trips = values_table([(i,) + p for i, p in enumerate(TRIP_PLACES)])
    columns = """insert into personPlan(planStartTime,planEndTime,planAddrTypeID,planAddrID,
                       planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID)"""
    return f"""-- A three-day trip every four weeks or so, not on the same days for everybody.
{columns}
with recursive offsets(n) as (select -45 union all select n + 1 from offsets where n < 45),
  trips(k, kind, place) as (values
    {trips})
select datetime(date('now', 'localtime', o.n || ' days')),
       datetime(date('now', 'localtime', (o.n + 2) || ' days')),
       t.kind, t.place, '对口单位', 3, '出差：业务交流与检查', null, 1, p.personID
from person p, offsets o, trips t
where p.personGroupID <> 7
  and (o.n + p.personID * 11 + 90) % 27 = 0
  and t.k = p.personID % {len(TRIP_PLACES)};

-- The bureau's leaders abroad for six days, one after the other.
{columns}
select datetime(date('now', 'localtime', (p.personID * 9 - 25) || ' days')),
       datetime(date('now', 'localtime', (p.personID * 9 - 20) || ' days')),
       4, 15 + p.personID % 2, '考察团', 2, '出国考察城市规划', '随团翻译一名', 1, p.personID
from person p where p.dutyID <= 2;

-- A few days off for some of the staff, private to them.
{columns}
select datetime(date('now', 'localtime', (p.personID % 20 - 10) || ' days')),
       datetime(date('now', 'localtime', (p.personID % 20 - 8) || ' days')),
       5, 17, null, 7, '年休假', null, 2, p.personID
from person p where p.dutyID >= 5 and p.dutyID <= 7 and p.personID % 4 = 1;

-- Most other workdays: one plan, mostly in the office, sometimes elsewhere in the city.
{columns}
with recursive offsets(n) as (select -45 union all select n + 1 from offsets where n < 45),
  workdays(n, day) as (select n, datetime(date('now', 'localtime', n || ' days')) from offsets
                       where strftime('%w', date('now', 'localtime', n || ' days'))
                             between '1' and '5'),
  templates(k, kind, place, type, content) as (values
    {day_plans})
select w.day, w.day, t.kind, t.place, null, t.type, t.content, null,
       case when (p.personID + w.n + 90) % 11 = 0 then 2 else 1 end, p.personID
from person p, workdays w, templates t
where p.personGroupID <> 7
  and ((p.personID * 5 + w.n + 90) % 7) <> 0
  and t.k = (p.personID * 7 + w.n * 3 + 270) % {len(DAY_PLANS)}
  and not exists (select 1 from personPlan q where q.personID = p.personID
                  and q.planStartTime <= w.day and q.planEndTime >= w.day);
"""


def main():
    hashes = password_hashes(len(PERSONS))
    lines = ["-- The demo office, written by demo/tools/make_seed.py. Every password is balance;",
             "-- the plans are dated from the day the database is created.",
             "begin;"]
    lines += insert("system", ["systemID", "systemName"], [(1, "日程管理系统")])
    lines += insert("dept", ["deptID", "deptName"], list(enumerate(DEPTS, 1)))
    lines += insert("personDuty", ["dutyID", "dutyName"], list(enumerate(DUTIES, 1)))
    lines += insert("personGroup", ["personGroupID", "personGroupName"], sorted(GROUPS.items()))
    people = []
    for i, ((name, sex, dept, duty), pw) in enumerate(zip(PERSONS, hashes), 1):
        group = 7 if name == "admin" else (2 if i % 9 == 0 else 1)
        year = 1962 + (i * 7) % 36
        birthday = "%d-%02d-%02d 00:00:00" % (year, 1 + (i * 5) % 12, 1 + (i * 11) % 28)
        phone = "010-6%03d%04d" % (100 + dept * 10 + duty, 1000 + i * 37)
        email = "user%02d@example.cn" % i
        people.append((i, name, sex, dept, duty, group, birthday, phone, email, 1, pw))
    lines += insert("person", ["personID", "personName", "sex", "deptID", "dutyID", "personGroupID",
                               "birthday", "phone", "email", "systemID", "passwordHash"], people)
    lines += insert("planAddrType", ["planAddrTypeID", "planAddrTypeName"],
                    list(enumerate(ADDR_TYPES, 1)))
    lines += insert("planAddr", ["planAddrID", "planAddrName", "planAddrTypeID"],
                    [(i, n, k) for i, (n, k) in enumerate(ADDRS, 1)])
    lines += insert("planType", ["planTypeID", "planTypeName"], list(enumerate(PLAN_TYPES, 1)))
    lines += insert("planFlag", ["planFlagID", "planFlagName"], sorted(FLAGS.items()))
    lines += insert("menu", ["menuID", "menuName", "menuFatherID", "menuOrder", "menuURL",
                             "systemID"], [m + (1,) for m in MENU])
    for g, (name, items, member) in enumerate(GROUP_DEFS, 1):
        lines += insert("AccessGroup", ["accessGroupID", "accessGroupName", "systemID"],
                        [(g, name, 1)])
        lines += insert("AccessMenu", ["AccessGroupID", "AccessMenuID", "accessmenutype"],
                        [(g, item, 1) for item in items])
        lines += insert("accessPerson", ["accessGroupID", "accessPersonID"],
                        [(g, p[0]) for p in people if p[5] != 7 and member(p[3], p[4])])
    lines.append(plans_sql())
    lines.append("commit;")
    with open(SEED, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
