insert into book (id, title, author, year) values (1, '红楼梦', '曹雪芹', 1791);
insert into book (id, title, author, year) values (2, 'Journey <West>', '吴承恩', 1592);
insert into book (id, title, author, year) values (3, '三国演义', '罗贯中', 1522);
