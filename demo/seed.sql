-- The demo office, written by demo/tools/make_seed.py. Every password is balance;
-- the plans are dated from the day the database is created.
begin;
insert into system(systemID,systemName) values(1,'日程管理系统');
insert into dept(deptID,deptName) values(1,'局领导');
insert into dept(deptID,deptName) values(2,'办公室');
insert into dept(deptID,deptName) values(3,'人事处');
insert into dept(deptID,deptName) values(4,'财务处');
insert into dept(deptID,deptName) values(5,'规划处');
insert into dept(deptID,deptName) values(6,'科技处');
insert into dept(deptID,deptName) values(7,'信息中心');
insert into dept(deptID,deptName) values(8,'后勤处');
insert into personDuty(dutyID,dutyName) values(1,'局长');
insert into personDuty(dutyID,dutyName) values(2,'副局长');
insert into personDuty(dutyID,dutyName) values(3,'处长');
insert into personDuty(dutyID,dutyName) values(4,'副处长');
insert into personDuty(dutyID,dutyName) values(5,'主任科员');
insert into personDuty(dutyID,dutyName) values(6,'科员');
insert into personDuty(dutyID,dutyName) values(7,'办事员');
insert into personDuty(dutyID,dutyName) values(8,'系统管理员');
insert into personGroup(personGroupID,personGroupName) values(1,'在编');
insert into personGroup(personGroupID,personGroupName) values(2,'聘用');
insert into personGroup(personGroupID,personGroupName) values(7,'系统账号');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(1,'admin','男',7,8,7,'1969-06-12 00:00:00','010-61781037','user01@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$AnsWumDfDIgw23s4NHK8OA$HWcXgyEJWqXa4aKViTMie0YXPb3bfo9DH8cPSi0Vchw');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(2,'王建国','男',1,1,1,'1976-11-23 00:00:00','010-61111074','user02@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$AVS2JwLtU6gaybOdMx3owQ$iN/5syEdpbTpTcR3psCjaSygewATuaNCCV2V1vdo+Ug');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(3,'张伟','男',1,2,1,'1983-04-06 00:00:00','010-61121111','user03@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$c2Snim6wx197MxJXxoiPFA$S4MUWM/GuIFA/GwsRigGQSTTKopEToQCMKeP5jkle74');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(4,'刘芳','女',1,2,1,'1990-09-17 00:00:00','010-61121148','user04@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$ePiiKKs7a4Vrspb8UsSX/Q$Z3nVft2fmFPyMrAOUgGIgd3gDth8WLJxZ/0kI9zKCt0');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(5,'李明','男',2,3,1,'1997-02-28 00:00:00','010-61231185','user05@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$WQ1OeoTaJj2IkWm5G9XhhQ$14zX0pFmvgTuxVn7lfzXQtfsaFssVbGN4qeTNB4vD4A');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(6,'陈静','女',2,4,1,'1968-07-11 00:00:00','010-61241222','user06@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$/EmnWupY/bDhslLK1SEKwQ$fIcB8xJuLJ35QMHhYKL8HjWUWJskk6a0gqoshNC5LXc');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(7,'赵磊','男',2,5,1,'1975-12-22 00:00:00','010-61251259','user07@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$POL9d9nFs7FRSKDpDaSxDg$O3VEVkzJ1KCzU/n5DzH2uzcDI1D33Ve5KjxmfFZsRmM');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(8,'孙丽','女',2,6,1,'1982-05-05 00:00:00','010-61261296','user08@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$6QW8F2ghPUFI+M7RmvSfrw$DQt8c+DU4MTYBUfAhDeyQWQKdhXnLKYP5ZXWlIOOfR8');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(9,'周洋','男',2,6,2,'1989-10-16 00:00:00','010-61261333','user09@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Fx288jAePjYsswvm/wO7nQ$BdziYFXVawKqVQtg5J1P+qHWZjwzjcC6385IkLexd38');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(10,'吴敏','女',2,7,1,'1996-03-27 00:00:00','010-61271370','user10@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$NcGYhf4NMjFld2HzVVQzBQ$7PGh5phlAdtZvinSkCifWhZcr4W+ESQqlSuABSmXQco');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(11,'郑强','男',3,3,1,'1967-08-10 00:00:00','010-61331407','user11@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$At/QxgdpC5DVu+TzHHKeSQ$gvTX8y1moTKyWPLTikBx8ZJqkBN77aXpDTgWlQYGmTM');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(12,'冯雪','女',3,4,1,'1974-01-21 00:00:00','010-61341444','user12@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$tBs5MXg/EJM3n9Y+1vm6Kw$7HJL+wxTd7HeVMghl/ntmf8zwBmDjoDRaH/cxfBED3A');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(13,'褚涛','男',3,5,1,'1981-06-04 00:00:00','010-61351481','user13@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$7NVjODtL+MsRIFK2SrBx1A$+xwq1n1sY2Voh8s0VgADRZQg6Hw0vtsB83fy/rDV3j4');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(14,'卫娜','女',3,6,1,'1988-11-15 00:00:00','010-61361518','user14@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$HRtj2KMeCiHYH/ojZ+J9mw$IAQu7XV+pWgTz8GRlCERikslDvUM1mMGgAZ5PKwZ9Qk');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(15,'蒋勇','男',3,6,1,'1995-04-26 00:00:00','010-61361555','user15@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Qbw+c4zHgXXVMZYTY4dO6Q$VhsfEA/guduWuRrTwJRR/JucNuYsPIlj6phGdX4uU3c');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(16,'沈红','女',4,3,1,'1966-09-09 00:00:00','010-61431592','user16@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Ba+an9Kq7GgtsVuuk8lCZg$K8V8H5+bZ3Wa4sLDOaS8ZQ+q8sklvWIRL72+rmlzr4s');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(17,'韩军','男',4,4,1,'1973-02-20 00:00:00','010-61441629','user17@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$3EV69Y3cuA+i30FePfGx7g$5qY0gN3mpWjR42NXQAIcru2M1foOyy9NpHxFQntvA0M');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(18,'杨帆','男',4,5,2,'1980-07-03 00:00:00','010-61451666','user18@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$jNRin/BWQcb5+KsN+QZLnQ$O2+FS2Z4IHBXWtwrGaC5WAZhx93+Aq0B13s3lq6539U');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(19,'朱琳','女',4,6,1,'1987-12-14 00:00:00','010-61461703','user19@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$vlUaxelCwc4kqeq3pAQs8g$hlSsR82/pkt0zjl/pGOse5A3YKsq5fWIXPbghMaXlUo');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(20,'秦海燕','女',4,6,1,'1994-05-25 00:00:00','010-61461740','user20@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$qGySQbZGI+pkIvtKItMvXg$lEjt1Gsv97ixrxwBEk4mRPuRNY3ifHIRYiHpI2y3XRk');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(21,'尤晓东','男',4,7,1,'1965-10-08 00:00:00','010-61471777','user21@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$KlPbKwmTtzomrq+eUhAYMw$1n/Bds/UfLFJ2EMCBCIp3KrEm7cp7G5OVlGMfxFZjHo');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(22,'许文博','男',5,3,1,'1972-03-19 00:00:00','010-61531814','user22@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$WZORZVOWckGwBp6N0PQGkw$m+8NwbOr5IEKA0XXvcofmqE71rBYVFWSFf8GUvmk4Js');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(23,'何婷','女',5,4,1,'1979-08-02 00:00:00','010-61541851','user23@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$6LazbRcnISvj1+xrZ3Evjg$S6OSwGhCbFQJjSxCQm07+f0dZG4S5mktsaqf2dHZS14');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(24,'吕志刚','男',5,5,1,'1986-01-13 00:00:00','010-61551888','user24@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$kcPhGkZAqxpcY89r0y4k6Q$ar3L3zl/HRY0S8y21D69D19Z5yV5xinL4tJOfbzYSDM');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(25,'施雨轩','女',5,6,1,'1993-06-24 00:00:00','010-61561925','user25@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$cqoHjhkJFxVhUgcXYORkBQ$pNEVIYe0Vpm4YADQvOU62QWWlSvk4+Zjv/CeGXplYhQ');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(26,'张家豪','男',5,6,1,'1964-11-07 00:00:00','010-61561962','user26@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$LdDQ1fgfXk4KpmkVQ5nMtQ$scWeSl40lOnRMNCP10UqPwwdHcOdiKzJKf3ly98LBhU');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(27,'孔令华','男',5,6,2,'1971-04-18 00:00:00','010-61561999','user27@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$dfOfOuMeoAAESkRGtKcnng$ME7BmorVnKml3eXgkE8Ker995f3eOzDbi7+002N1+Is');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(28,'曹雅琴','女',5,7,1,'1978-09-01 00:00:00','010-61572036','user28@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$dyMlgUicjnsABEAUQuS5vw$u6px3gIJfDQpAfDamereuZGUY8f/2j/+BQNqe+8aDMo');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(29,'严振华','男',6,3,1,'1985-02-12 00:00:00','010-61632073','user29@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$SCc9TZqCmz/NVwz0tV08qw$c06zfNHvYDLO8Hi5GYtli+EA4SjT0VqSSXhoSiA5RL8');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(30,'华颖','女',6,4,1,'1992-07-23 00:00:00','010-61642110','user30@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$lyaVb7QZCl5zSpUV8yrH+A$ILOlqOqt3JJhOE2oXqeg7dW8KkrbPPVprIrpNBmjwbI');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(31,'金鹏','男',6,5,1,'1963-12-06 00:00:00','010-61652147','user31@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$KOVLH9TSMDqJqcZ+mKyjCg$iQARAZ60/CqFrOeYqfyff0JDK6RYDX/1HARu2lJaHuw');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(32,'魏嘉怡','女',6,6,1,'1970-05-17 00:00:00','010-61662184','user32@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$+/SbQKpbzNCvErm4+ezAUA$C6nx4ZghJ1VfALXXA5SsAWFfXflHYWKBMuM2Ky6IASQ');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(33,'陶然','男',6,6,1,'1977-10-28 00:00:00','010-61662221','user33@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$3yjYlT/0hxOMTn9jW2oqdg$Dh3i3my3YBAZv/QMx/O8SkpElQVUR1MHi9qYBerrjeU');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(34,'姜思远','男',6,6,1,'1984-03-11 00:00:00','010-61662258','user34@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Lr5/lYuigbnJfDBr9AH2mw$U8PhypN8EF1urJzLra57s/pVk499ZwVnYiIEFDWwV2A');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(35,'戚晓梅','女',6,7,1,'1991-08-22 00:00:00','010-61672295','user35@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$D7HRTou2R1rGrhASl6hOjQ$B7QDhssaGE6IhaN7anmtA87+LcTfrvzICmxdEFZ766I');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(36,'谢宏伟','男',7,3,2,'1962-01-05 00:00:00','010-61732332','user36@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$ctD+EBJExY2Al3vmc1tFSA$S8RI6zL2GSKIXj6AdrI1UCupRr0ry4zYF9AssaE1/+0');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(37,'邹玲','女',7,4,1,'1969-06-16 00:00:00','010-61742369','user37@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$RLzGJggWxgyBvDVuPVSp3Q$EeymHxrQneONljozHODNFesEvFrzMtTnh+g7UK8tszs');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(38,'喻博','男',7,5,1,'1976-11-27 00:00:00','010-61752406','user38@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$UOk1CQ7E0X3Z5QUkDWlF2w$YHdrjbjuQjU8pc4U9GzJtl/az65n/sCFpx/6/zNXpW8');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(39,'柏杨','男',7,6,1,'1983-04-10 00:00:00','010-61762443','user39@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$2avHnCZKXch/PN9ME3M6ig$C2vgUe658B2Q1KV4oKivGPoaVcBt9eV3ta1knlsBQ5g');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(40,'石芳芳','女',7,6,1,'1990-09-21 00:00:00','010-61762480','user40@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$G2Uwq13HAv/OxSfcc2OTKA$AAIL2IQUiYEtxcL5gc710sGIvAlt2YG52NKWFRhocXU');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(41,'窦亮','男',7,7,1,'1997-02-04 00:00:00','010-61772517','user41@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$g9a3510vf1uEWfh8J5h5HA$UBn5/pU22ST8SfC6sviqqk3ey5LT3MuGLwzorrqRqk8');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(42,'章建平','男',8,3,1,'1968-07-15 00:00:00','010-61832554','user42@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$iuIft4LXZ7FeSVsPTbAUDg$LTZFBe/ja87E4IQu0QI0hcl/v7lSYgAU4gZg9FB+SVI');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(43,'云秀英','女',8,4,1,'1975-12-26 00:00:00','010-61842591','user43@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$S9KSfOE3pgn9fkyYLPAjIw$z5xlEmmZlw3Ez3dJwXHHfuxhpi27c6/0qFIrRt+CPN8');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(44,'苏国庆','男',8,5,1,'1982-05-09 00:00:00','010-61852628','user44@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$DMjIf3fYCb5a19wab4UviQ$nwaewaJA2O2URfS/zfKZS/ncGMH9i0i/8hu26zD0HyQ');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(45,'潘小红','女',8,6,2,'1989-10-20 00:00:00','010-61862665','user45@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$jLPDs+2o1ZeC0xN01kjiYw$H7dRLxNcFmGav/pL400aHi1mmGwRsFuElUwCfhmanbA');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(46,'葛建军','男',8,6,1,'1996-03-03 00:00:00','010-61862702','user46@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Lo9QalicXM59CexJH/byRw$TUfx2BbvgpkOQs6VNB/OFpkB5imAnAJ/ZoPW2ayWYGM');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(47,'范丽娟','女',8,7,1,'1967-08-14 00:00:00','010-61872739','user47@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$ZQfu6ktn3MhYvPrRv95rqA$Du9VUDsd69+f4n3lfkGi0FZG2C7yMlDsN9A5XkHDMt4');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(48,'彭德海','男',8,7,1,'1974-01-25 00:00:00','010-61872776','user48@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$sMqixCrPOdBz77yqbHvVCg$BhAQydXf1w7nd61i0vMS4ryyHqJsLGwNXIBxx56AU/4');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(49,'鲁晓燕','女',2,6,1,'1981-06-08 00:00:00','010-61262813','user49@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$Qqx2qnSyo4yvZn8AKdr7gA$Vm06E+iyASep6dkmUJnbqyFj98WbWePHjAvLs/P9z9Y');
insert into person(personID,personName,sex,deptID,dutyID,personGroupID,birthday,phone,email,systemID,passwordHash) values(50,'马骏','男',3,7,1,'1988-11-19 00:00:00','010-61372850','user50@example.cn',1,'$argon2id$v=19$m=65536,t=2,p=1$2SkdbUVMfo9wDOCpkd0dog$liPWAjjOzuM2/Bz5V5xTszho68sgJCGvoE4+IlqV/V0');
insert into planAddrType(planAddrTypeID,planAddrTypeName) values(1,'机关');
insert into planAddrType(planAddrTypeID,planAddrTypeName) values(2,'北京');
insert into planAddrType(planAddrTypeID,planAddrTypeName) values(3,'外地');
insert into planAddrType(planAddrTypeID,planAddrTypeName) values(4,'国外');
insert into planAddrType(planAddrTypeID,planAddrTypeName) values(5,'休假');
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(1,'第一会议室',1);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(2,'第二会议室',1);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(3,'局长办公室',1);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(4,'本处办公室',1);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(5,'多功能厅',1);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(6,'市政府',2);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(7,'市规划院',2);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(8,'中关村园区',2);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(9,'市档案馆',2);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(10,'上海',3);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(11,'广州',3);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(12,'成都',3);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(13,'西安',3);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(14,'杭州',3);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(15,'新加坡',4);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(16,'东京',4);
insert into planAddr(planAddrID,planAddrName,planAddrTypeID) values(17,'家中',5);
insert into planType(planTypeID,planTypeName) values(1,'会议');
insert into planType(planTypeID,planTypeName) values(2,'调研');
insert into planType(planTypeID,planTypeName) values(3,'出差');
insert into planType(planTypeID,planTypeName) values(4,'培训');
insert into planType(planTypeID,planTypeName) values(5,'接待');
insert into planType(planTypeID,planTypeName) values(6,'办公');
insert into planType(planTypeID,planTypeName) values(7,'休假');
insert into planFlag(planFlagID,planFlagName) values(1,'公开');
insert into planFlag(planFlagID,planFlagName) values(2,'个人');
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(1,'日程安排',null,1,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(2,'个人日程',1,1,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(3,'我的月计划',2,1,'scheduler/personMonth.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(4,'我的周计划',2,2,'scheduler/personWeek.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(5,'领导日程',1,2,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(6,'领导月汇总',5,1,'scheduler/leaderMonth.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(7,'领导周汇总',5,2,'scheduler/leaderWeek.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(8,'部门日程',1,3,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(9,'部门月汇总',8,1,'scheduler/leader2Month.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(10,'部门周汇总',8,2,'scheduler/leader2Week.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(11,'文件管理',null,2,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(12,'文件上传',11,1,'upload/index.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(13,'基础数据',null,3,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(14,'人员与机构',13,1,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(15,'人员管理',14,1,'person/index.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(16,'部门设置',14,2,'tables/dept.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(17,'职务设置',14,3,'tables/duty.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(18,'日程设置',13,2,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(19,'地点类别',18,1,'tables/addrType.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(20,'地点',18,2,'tables/addr.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(21,'计划类型',18,3,'tables/planType.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(22,'系统管理',null,4,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(23,'权限管理',22,1,null,1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(24,'权限组',23,1,'permission/permission.asp',1);
insert into menu(menuID,menuName,menuFatherID,menuOrder,menuURL,systemID) values(25,'菜单设置',22,2,'tables/menu.asp',1);
insert into AccessGroup(accessGroupID,accessGroupName,systemID) values(1,'系统管理组',1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,1,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,2,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,3,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,4,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,5,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,6,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,7,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,8,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,9,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,10,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,11,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,12,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,13,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,14,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,15,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,16,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,17,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,18,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,19,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,20,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,21,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,22,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,23,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,24,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(1,25,1);
insert into accessPerson(accessGroupID,accessPersonID) values(1,36);
insert into accessPerson(accessGroupID,accessPersonID) values(1,38);
insert into AccessGroup(accessGroupID,accessGroupName,systemID) values(2,'处级以上领导',1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,1,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,2,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,3,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,4,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,5,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,6,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,7,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,8,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,9,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,10,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,11,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(2,12,1);
insert into accessPerson(accessGroupID,accessPersonID) values(2,2);
insert into accessPerson(accessGroupID,accessPersonID) values(2,3);
insert into accessPerson(accessGroupID,accessPersonID) values(2,4);
insert into accessPerson(accessGroupID,accessPersonID) values(2,5);
insert into accessPerson(accessGroupID,accessPersonID) values(2,11);
insert into accessPerson(accessGroupID,accessPersonID) values(2,16);
insert into accessPerson(accessGroupID,accessPersonID) values(2,22);
insert into accessPerson(accessGroupID,accessPersonID) values(2,29);
insert into accessPerson(accessGroupID,accessPersonID) values(2,36);
insert into accessPerson(accessGroupID,accessPersonID) values(2,42);
insert into AccessGroup(accessGroupID,accessGroupName,systemID) values(3,'一般工作人员',1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,1,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,2,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,3,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,4,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,11,1);
insert into AccessMenu(AccessGroupID,AccessMenuID,accessmenutype) values(3,12,1);
insert into accessPerson(accessGroupID,accessPersonID) values(3,6);
insert into accessPerson(accessGroupID,accessPersonID) values(3,7);
insert into accessPerson(accessGroupID,accessPersonID) values(3,8);
insert into accessPerson(accessGroupID,accessPersonID) values(3,9);
insert into accessPerson(accessGroupID,accessPersonID) values(3,10);
insert into accessPerson(accessGroupID,accessPersonID) values(3,12);
insert into accessPerson(accessGroupID,accessPersonID) values(3,13);
insert into accessPerson(accessGroupID,accessPersonID) values(3,14);
insert into accessPerson(accessGroupID,accessPersonID) values(3,15);
insert into accessPerson(accessGroupID,accessPersonID) values(3,17);
insert into accessPerson(accessGroupID,accessPersonID) values(3,18);
insert into accessPerson(accessGroupID,accessPersonID) values(3,19);
insert into accessPerson(accessGroupID,accessPersonID) values(3,20);
insert into accessPerson(accessGroupID,accessPersonID) values(3,21);
insert into accessPerson(accessGroupID,accessPersonID) values(3,23);
insert into accessPerson(accessGroupID,accessPersonID) values(3,24);
insert into accessPerson(accessGroupID,accessPersonID) values(3,25);
insert into accessPerson(accessGroupID,accessPersonID) values(3,26);
insert into accessPerson(accessGroupID,accessPersonID) values(3,27);
insert into accessPerson(accessGroupID,accessPersonID) values(3,28);
insert into accessPerson(accessGroupID,accessPersonID) values(3,30);
insert into accessPerson(accessGroupID,accessPersonID) values(3,31);
insert into accessPerson(accessGroupID,accessPersonID) values(3,32);
insert into accessPerson(accessGroupID,accessPersonID) values(3,33);
insert into accessPerson(accessGroupID,accessPersonID) values(3,34);
insert into accessPerson(accessGroupID,accessPersonID) values(3,35);
insert into accessPerson(accessGroupID,accessPersonID) values(3,37);
insert into accessPerson(accessGroupID,accessPersonID) values(3,38);
insert into accessPerson(accessGroupID,accessPersonID) values(3,39);
insert into accessPerson(accessGroupID,accessPersonID) values(3,40);
insert into accessPerson(accessGroupID,accessPersonID) values(3,41);
insert into accessPerson(accessGroupID,accessPersonID) values(3,43);
insert into accessPerson(accessGroupID,accessPersonID) values(3,44);
insert into accessPerson(accessGroupID,accessPersonID) values(3,45);
insert into accessPerson(accessGroupID,accessPersonID) values(3,46);
insert into accessPerson(accessGroupID,accessPersonID) values(3,47);
insert into accessPerson(accessGroupID,accessPersonID) values(3,48);
insert into accessPerson(accessGroupID,accessPersonID) values(3,49);
insert into accessPerson(accessGroupID,accessPersonID) values(3,50);
-- A three-day trip every four weeks or so, not on the same days for everybody.
insert into personPlan(planStartTime,planEndTime,planAddrTypeID,planAddrID,
                       planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID)
with recursive offsets(n) as (select -45 union all select n + 1 from offsets where n < 45),
  trips(k, kind, place) as (values
    (0,3,10),
    (1,3,11),
    (2,3,12),
    (3,3,13),
    (4,3,14))
select datetime(date('now', 'localtime', o.n || ' days')),
       datetime(date('now', 'localtime', (o.n + 2) || ' days')),
       t.kind, t.place, '对口单位', 3, '出差：业务交流与检查', null, 1, p.personID
from person p, offsets o, trips t
where p.personGroupID <> 7
  and (o.n + p.personID * 11 + 90) % 27 = 0
  and t.k = p.personID % 5;

-- The bureau's leaders abroad for six days, one after the other.
insert into personPlan(planStartTime,planEndTime,planAddrTypeID,planAddrID,
                       planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID)
select datetime(date('now', 'localtime', (p.personID * 9 - 25) || ' days')),
       datetime(date('now', 'localtime', (p.personID * 9 - 20) || ' days')),
       4, 15 + p.personID % 2, '考察团', 2, '出国考察城市规划', '随团翻译一名', 1, p.personID
from person p where p.dutyID <= 2;

-- A few days off for some of the staff, private to them.
insert into personPlan(planStartTime,planEndTime,planAddrTypeID,planAddrID,
                       planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID)
select datetime(date('now', 'localtime', (p.personID % 20 - 10) || ' days')),
       datetime(date('now', 'localtime', (p.personID % 20 - 8) || ' days')),
       5, 17, null, 7, '年休假', null, 2, p.personID
from person p where p.dutyID >= 5 and p.dutyID <= 7 and p.personID % 4 = 1;

-- Most other workdays: one plan, mostly in the office, sometimes elsewhere in the city.
insert into personPlan(planStartTime,planEndTime,planAddrTypeID,planAddrID,
                       planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID)
with recursive offsets(n) as (select -45 union all select n + 1 from offsets where n < 45),
  workdays(n, day) as (select n, datetime(date('now', 'localtime', n || ' days')) from offsets
                       where strftime('%w', date('now', 'localtime', n || ' days'))
                             between '1' and '5'),
  templates(k, kind, place, type, content) as (values
    (0,1,4,6,'处理日常工作'),
    (1,1,4,6,'起草季度工作总结'),
    (2,1,1,1,'参加局务会'),
    (3,1,2,1,'处务会，布置本周工作'),
    (4,1,4,6,'审核年度预算材料'),
    (5,1,5,4,'业务培训：档案管理规范'),
    (6,1,3,5,'接待来访单位'),
    (7,1,2,1,'项目评审会'),
    (8,1,4,6,'处理日常公文'),
    (9,2,6,1,'市政府专题会议'),
    (10,2,7,2,'规划项目现场调研'),
    (11,2,8,2,'走访园区企业'),
    (12,2,9,2,'查阅历史档案'))
select w.day, w.day, t.kind, t.place, null, t.type, t.content, null,
       case when (p.personID + w.n + 90) % 11 = 0 then 2 else 1 end, p.personID
from person p, workdays w, templates t
where p.personGroupID <> 7
  and ((p.personID * 5 + w.n + 90) % 7) <> 0
  and t.k = (p.personID * 7 + w.n * 3 + 270) % 13
  and not exists (select 1 from personPlan q where q.personID = p.personID
                  and q.planStartTime <= w.day and q.planEndTime >= w.day);

commit;
