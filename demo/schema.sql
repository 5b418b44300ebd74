-- The demo application's tables. The host creates data/site.db from this file and seed.sql
-- the first time it serves the site.
create table dept (
  deptID integer primary key,
  deptName nvarchar(30) not null
);

create table person (
  id integer primary key,
  name nvarchar(20) not null,
  sex nvarchar(2),
  deptID integer references dept(deptID),
  birthday datetime,
  phone varchar(20),
  email varchar(50)
);
