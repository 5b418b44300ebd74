create table book (
  id integer primary key,
  title nvarchar(50) not null,
  author nvarchar(30),
  year int
);
