-- The demo application's tables: an office's persons and departments, their schedules, the
-- menu with its permission groups. The host creates data/site.db from this file and seed.sql the
-- first time it serves the site. Foreign keys hold (the SQLite provider turns them on): a
-- deleted group takes its rights and members with it, a deleted person his plans and
-- memberships. Uploaded files are no rows: they live in one folder per person on the upload
-- drive (upload/index.asp).
create table system (
  systemID integer primary key,
  systemName nvarchar(30) not null
);

create table dept (
  deptID integer primary key,
  deptName nvarchar(30) not null
);

-- Ordered by rank: the leader views list persons by dutyID.
create table personDuty (
  dutyID integer primary key,
  dutyName nvarchar(20) not null
);

-- Category 7 (system accounts) is never offered as a permission group member.
create table personGroup (
  personGroupID integer primary key,
  personGroupName nvarchar(20) not null
);

create table person (
  personID integer primary key,
  personName nvarchar(20) not null unique,
  sex nvarchar(2),
  deptID integer references dept(deptID),
  dutyID integer not null references personDuty(dutyID),
  personGroupID integer references personGroup(personGroupID),
  birthday datetime,
  phone varchar(20),
  email varchar(50),
  systemID integer not null references system(systemID),
  passwordHash varchar(128)  -- salted Argon2id, never the password
);

create table planAddrType (
  planAddrTypeID integer primary key,
  planAddrTypeName nvarchar(20) not null
);

create table planAddr (
  planAddrID integer primary key,
  planAddrName nvarchar(30) not null,
  planAddrTypeID integer references planAddrType(planAddrTypeID)
);

create table planType (
  planTypeID integer primary key,
  planTypeName nvarchar(20) not null
);

-- 1: visible to everybody; other values: only to the person himself.
create table planFlag (
  planFlagID integer primary key,
  planFlagName nvarchar(20) not null
);

create table personPlan (
  planID integer primary key,
  planStartTime datetime not null,
  planEndTime datetime not null,
  planAddrTypeID integer not null references planAddrType(planAddrTypeID),
  planAddrID integer not null references planAddr(planAddrID),
  planAddrDetail nvarchar(100),
  planTypeID integer references planType(planTypeID),
  planContent nvarchar(200),
  planAddition nvarchar(200),
  planFlagID integer not null default 1 references planFlag(planFlagID),
  personID integer not null references person(personID) on delete cascade
);
create index personPlanByPerson on personPlan(personID, planStartTime);

-- menuURL: the page the item opens, relative to the site root; the pages' guard finds a page's
-- item by it.
create table menu (
  menuID integer primary key,
  menuName nvarchar(30),
  menuFatherID integer,
  menuOrder integer,
  menuURL varchar(100),
  systemID integer not null references system(systemID)
);

create table AccessGroup (
  accessGroupID integer primary key,
  accessGroupName nvarchar(30) not null,
  systemID integer not null references system(systemID)
);

create table AccessMenu (
  AccessGroupID integer not null references AccessGroup(accessGroupID) on delete cascade,
  AccessMenuID integer not null references menu(menuID) on delete cascade,
  accessmenutype integer
);

create table accessPerson (
  accessGroupID integer not null references AccessGroup(accessGroupID) on delete cascade,
  accessPersonID integer not null references person(personID) on delete cascade
);
