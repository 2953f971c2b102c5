-- The installed measurement database: every table of the main program and
-- its initial rows. The test modules create their own tables on first use.
--
-- Text columns compare without regard to case (COLLATE NOCASE), as the
-- program's statements expect of the database. The numbered settings tables
-- carry a plain index on their number, not a unique key: the settings store
-- copes with a number stored twice (it treats it as missing), so the schema
-- must not forbid such rows.
--
-- The file is not encrypted; it is protected by the file permissions of the
-- program folder.

PRAGMA foreign_keys = ON;
BEGIN TRANSACTION;

-- Numeric settings: NumNo -> NumCont (integers and fractions).
CREATE TABLE SavNum (
    NumNo   INTEGER NOT NULL,
    NumCont REAL
);
CREATE INDEX SavNum_NumNo ON SavNum (NumNo);

-- Text settings: StrNo -> StrCont.
CREATE TABLE SavString (
    StrNo   INTEGER NOT NULL,
    StrCont TEXT COLLATE NOCASE
);
CREATE INDEX SavString_StrNo ON SavString (StrNo);

-- A numbered list of value pairs (carried by the settings backup only).
CREATE TABLE Standard (
    StdNo INTEGER,
    num   REAL,
    val   REAL
);
CREATE INDEX Standard_StdNo ON Standard (StdNo);

-- Operators. UserNo is assigned by the database when an insert omits it;
-- secret is the password code (passwords themselves are never stored).
-- Origin tells how the row came to be: NULL for users created by the program
-- (login start-up, user management), 'A' for users brought back from a
-- settings backup file.
CREATE TABLE Tester (
    UserNo INTEGER PRIMARY KEY,
    name   TEXT COLLATE NOCASE NOT NULL CHECK (length(name) <= 10),
    secret INTEGER NOT NULL DEFAULT 0,
    Origin TEXT COLLATE NOCASE
);
CREATE INDEX Tester_name ON Tester (name);

-- Display units. Type 0: force units (Coe divides newtons into the unit),
-- Type 1: strength units, Type 2: the speed row (rounding only).
-- Round is the number of decimals shown (0..3).
CREATE TABLE Unit (
    Type    INTEGER NOT NULL,
    "Index" INTEGER NOT NULL,
    Name    TEXT COLLATE NOCASE NOT NULL,
    Coe     INTEGER NOT NULL DEFAULT 1,
    Round   INTEGER NOT NULL DEFAULT 2
);

-- Controller port settings and parameter sets, one row per model and name;
-- Value is decimal text (or the port settings string).
CREATE TABLE CtrlBoxSaveItems (
    CtrlBox TEXT COLLATE NOCASE NOT NULL,
    Name    TEXT COLLATE NOCASE NOT NULL,
    Value   TEXT COLLATE NOCASE
);
CREATE INDEX CtrlBoxSaveItems_Key ON CtrlBoxSaveItems (CtrlBox, Name);

-- The last verification run per model: CheckNum1..12 (measured forces) and
-- CheckError1..12 (errors in percent), kept as number text.
CREATE TABLE CheckTempValue (
    ctrlbox TEXT COLLATE NOCASE NOT NULL,
    name    TEXT COLLATE NOCASE NOT NULL,
    Value   TEXT COLLATE NOCASE
);
CREATE INDEX CheckTempValue_Key ON CheckTempValue (ctrlbox, name);

-- Default report header captions per test (expobj = test display name).
CREATE TABLE DefaultCaptionInfo (
    expobj TEXT COLLATE NOCASE NOT NULL,
    sunxu  INTEGER NOT NULL,
    Name1  TEXT COLLATE NOCASE,
    Data1  TEXT COLLATE NOCASE,
    Name2  TEXT COLLATE NOCASE,
    Data2  TEXT COLLATE NOCASE
);
CREATE INDEX DefaultCaptionInfo_expobj ON DefaultCaptionInfo (expobj);

-- Group and specimen results of the older result store (read only).
CREATE TABLE resgro (
    zuhao    TEXT COLLATE NOCASE,
    expobj   TEXT COLLATE NOCASE,
    lingqi   TEXT COLLATE NOCASE,
    grono    INTEGER,
    gronum   INTEGER,
    grokn    REAL,
    grompa   REAL,
    pinzhong TEXT COLLATE NOCASE,
    speed    REAL,
    expdate  DATETIME,
    expman   TEXT COLLATE NOCASE,
    expres   TEXT COLLATE NOCASE
);
CREATE INDEX resgro_Key ON resgro (zuhao, lingqi, expobj);

CREATE TABLE resone (
    zuhao  TEXT COLLATE NOCASE,
    oneno  INTEGER,
    shunxu INTEGER,
    lingqi TEXT COLLATE NOCASE,
    onekn  REAL,
    onempa REAL
);
CREATE INDEX resone_Key ON resone (zuhao, lingqi);

-- Audit trail of the records window: each correction ('修正') or deletion
-- ('删除') of a stored group, by whom and when (At: 'yyyy-MM-dd hh:mm:ss'),
-- with the group's rows before and after as text. No key to the module
-- tables, so deleting a group keeps its audit rows. The program creates the
-- same table in a database that lacks it (src/store/AuditTrail.cpp).
CREATE TABLE AuditTrail (
    Id       INTEGER PRIMARY KEY AUTOINCREMENT,
    UserName TEXT COLLATE NOCASE,
    "At"     TEXT COLLATE NOCASE,
    TestKind TEXT COLLATE NOCASE,
    GroupNo  TEXT COLLATE NOCASE,
    "Action" TEXT COLLATE NOCASE,
    "Before" TEXT COLLATE NOCASE,
    "After"  TEXT COLLATE NOCASE
);

-- ---------------------------------------------------------------------------
-- Initial rows
-- ---------------------------------------------------------------------------

-- The global settings block, so that the first start reads every row.
INSERT INTO SavNum (NumNo, NumCont) VALUES
    (100, 1),      -- control mode (forced to automatic at load anyway)
    (101, 0),
    (102, 0),
    (103, 5),      -- readouts refreshed five times a second during a run
    (104, 1),      -- rate display follows the controller's period
    (105, 2),
    (1000, 1),
    (1001, 0),     -- verification: manual fast/slow switching
    (1002, 1),
    (1100, 2.4),   -- verification fast / slow speed
    (1101, 0.3),
    (20001, 2.4),  -- the same for the flexure side (KVD520 family)
    (20002, 0.3),
    (1102, 3.0),   -- constant-load programme
    (1103, 100.0),
    (1104, 60),
    (1105, 0),
    (1106, 60),
    (20005, 0),    -- interface language: Chinese
    (20006, 100),  -- constant-load dialog, flexure side: force, hold time
    (20007, 100),
    (20008, 100),  -- constant-load dialog, other models
    (20009, 100);

INSERT INTO SavString (StrNo, StrCont) VALUES
    (100, 'Admin'), -- last user
    (101, '0'),     -- selected test, compression side
    (102, '0'),     -- selected test, flexure side
    (103, '0');     -- machine type: KVD300

-- Built-in users, password 486 (the number is the password code of "486").
INSERT INTO Tester (UserNo, name, secret) VALUES
    (1, 'Admin', 269923974),
    (2, 'Tester', 269923974);

INSERT INTO Unit (Type, "Index", Name, Coe, Round) VALUES
    (0, 0, 'N', 1, 0),
    (0, 1, 'kN', 1000, 2),
    (1, 0, 'MPa', 1, 2),
    (2, 0, 'Speed', 1, 2);

-- 24 verification rows per controller model.
WITH RECURSIVE
    k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < 12),
    model(m, pos) AS (VALUES ('KVD300', 1), ('KVD510', 2), ('KVD520', 3),
                             ('KVD300_DJ', 4), ('KVD510_DJ', 5), ('KVD520_DJ', 6)),
    kind(prefix, pos) AS (VALUES ('CheckNum', 1), ('CheckError', 2))
INSERT INTO CheckTempValue (ctrlbox, name, Value)
    SELECT m, prefix || n, '0' FROM model, kind, k
    ORDER BY model.pos, kind.pos, n;

-- The factory parameter set of every controller model: the values a new
-- box holds, so a fresh installation and a fresh box agree item by item.
-- Each family stores its items under its own names; "IsInit" marks the
-- model as set up, so its first start keeps these values.
WITH
    model(m, family, pos) AS (VALUES ('KVD300', 300, 1), ('KVD510', 510, 2), ('KVD520', 520, 3),
                                     ('KVD300_DJ', 300, 4), ('KVD510_DJ', 510, 5), ('KVD520_DJ', 520, 6)),
    item(family, pos, name, value) AS (VALUES
        (300, 0, 'IsInit', '1'),
        (300, 1, 'FmaxLoad', '2000000'),
        (300, 2, 'FctrlEntry', '1206'),
        (300, 3, 'FForcedLoad', '40000'),
        (300, 4, 'FCantLoadTime', '30'),
        (300, 5, 'FunloadDelay', '3'),
        (300, 6, 'FStartJudge', '60000'),
        (300, 7, 'FexistHand', '0'),
        (300, 8, 'FValveInit', '24000'),
        (300, 9, 'FValveMiddle', '12000'),
        (300, 10, 'FValveBreak', '3000'),
        (300, 11, 'FPIDSect1', '300'),
        (300, 12, 'FPIDSect2', '1000'),
        (300, 13, 'FPIDLoadKP1', '120'),
        (300, 14, 'FPIDLoadKI1', '12'),
        (300, 15, 'FPIDLoadKP2', '150'),
        (300, 16, 'FPIDLoadKI2', '15'),
        (300, 17, 'FPIDLoadKP3', '180'),
        (300, 18, 'FPIDLoadKI3', '18'),
        (300, 19, 'FPIDKeepKP1', '80'),
        (300, 20, 'FPIDKeepKI1', '6'),
        (300, 21, 'FPIDKeepKP2', '100'),
        (300, 22, 'FPIDKeepKI2', '8'),
        (300, 23, 'FPIDKeepKP3', '120'),
        (300, 24, 'FPIDKeepKI3', '10'),
        (300, 25, 'FPIDMaxOunt', '1000'),
        (300, 26, 'FPIDMinOut', '0'),
        (300, 27, 'FLoadValue1', '0'),
        (300, 28, 'FLoadCode1', '0'),
        (300, 29, 'FLoadCValue2', '200000'),
        (300, 30, 'FLoadCode2', '12060'),
        (300, 31, 'FLoadValue3', '400000'),
        (300, 32, 'FLoadCode3', '24090'),
        (300, 33, 'FloadValue4', '600000'),
        (300, 34, 'FLoadCode4', '36100'),
        (300, 35, 'FLoadValue5', '800000'),
        (300, 36, 'FLoadCode5', '48080'),
        (300, 37, 'FLoadValue6', '1000000'),
        (300, 38, 'FLoadCode6', '60050'),
        (300, 39, 'FLoadValue7', '1200000'),
        (300, 40, 'FLoadCode7', '72000'),
        (300, 41, 'FLoadValue8', '1400000'),
        (300, 42, 'FLoadCode8', '83940'),
        (300, 43, 'FLoadValue9', '1600000'),
        (300, 44, 'FLoadCode9', '95870'),
        (300, 45, 'FLoadValue10', '1800000'),
        (300, 46, 'FLoadCode10', '107790'),
        (300, 47, 'FLoadValue11', '2000000'),
        (300, 48, 'FLoadCode11', '119700'),
        (300, 49, 'FLoadLoadValue12', '2200000'),
        (300, 50, 'FLoadCode12', '131610'),
        (300, 51, 'FColdMaxTime', '60'),
        (300, 52, 'FColMaxSub', '0'),
        (300, 53, 'FColdEdEachSub', '0'),
        (300, 54, 'FColdCurrSub', '0'),
        (300, 55, 'FColWaitMitme', '0'),
        (300, 56, 'FColdCurrWait', '0'),
        (300, 57, 'FIsViewSpeed', '0'),
        (300, 58, 'FViewSpeedTime', '10'),
        (300, 59, 'FAutoLoad', '0'),
        (300, 60, 'FSpaceJudge', '0'),
        (300, 61, 'FProtectLoad', '100'),
        (300, 62, 'FUseProtect', '1'),
        (300, 63, 'FProtectTime', '30'),
        (300, 64, 'FJudgeMethod', '4'),
        (300, 65, 'FBreakValue', '40000'),
        (300, 66, 'FdotCount', '3'),
        (300, 67, 'FJudgeLoadPointType', '1'),
        (300, 68, 'FJudgeLoadType', '1'),
        (300, 69, 'FJudgeSpeedTime', '10'),
        (300, 70, 'FJudgeSpeedK', '30'),
        (300, 71, 'FJudgeFaTime', '5'),
        (300, 72, 'FJudgeFaK', '50'),
        (510, 0, 'IsInit', '1'),
        (510, 1, 'FMaxLoad', '300000'),
        (510, 2, 'FCtrlEntry', '2115'),
        (510, 3, 'FForcedLoad', '5000'),
        (510, 4, 'FCantLoadTime', '30'),
        (510, 5, 'FunloadDelay', '3'),
        (510, 6, 'FStartJudge', '8000'),
        (510, 7, 'FCheckKZ', '1'),
        (510, 8, 'FKZThreshold', '5000'),
        (510, 9, 'FExistHand', '0'),
        (510, 10, 'FValveInit', '24000'),
        (510, 11, 'FValveMiddle', '12000'),
        (510, 12, 'FValveBack', '3000'),
        (510, 13, 'FPIDSect1', '45'),
        (510, 14, 'FPIDSect2', '150'),
        (510, 15, 'FPIDLoadKP1', '120'),
        (510, 16, 'FPIDLoadKI1', '12'),
        (510, 17, 'FPIDLoadKP2', '150'),
        (510, 18, 'FPIDLoadKI2', '15'),
        (510, 19, 'FPIDLoadKP3', '180'),
        (510, 20, 'FPIDLoadKI3', '18'),
        (510, 21, 'FPIDKeepKP1', '80'),
        (510, 22, 'FPIDKeepKI1', '6'),
        (510, 23, 'FPIDKeepKP2', '100'),
        (510, 24, 'FPIDKeepKI2', '8'),
        (510, 25, 'FPIDKeepKP3', '120'),
        (510, 26, 'FPIDKeepKI3', '10'),
        (510, 27, 'FPIDMaxOut', '1000'),
        (510, 28, 'FPIDMinOut', '0'),
        (510, 29, 'FLoadValue1', '0'),
        (510, 30, 'FLoadCode1', '0'),
        (510, 31, 'FLoadValue2', '30000'),
        (510, 32, 'FLoadCode2', '21150'),
        (510, 33, 'FLoadValue3', '60000'),
        (510, 34, 'FLoadCode3', '42240'),
        (510, 35, 'FLoadValue4', '90000'),
        (510, 36, 'FLoadCode4', '63290'),
        (510, 37, 'FLoadValue5', '120000'),
        (510, 38, 'FLoadCode5', '84300'),
        (510, 39, 'FLoadValue6', '150000'),
        (510, 40, 'FLoadCode6', '105270'),
        (510, 41, 'FLoadValue7', '180000'),
        (510, 42, 'FLoadCode7', '126200'),
        (510, 43, 'FLoadValue8', '210000'),
        (510, 44, 'FLoadCode8', '147090'),
        (510, 45, 'FLoadValue9', '240000'),
        (510, 46, 'FLoadCode9', '167950'),
        (510, 47, 'FLoadValue10', '270000'),
        (510, 48, 'FLoadCode10', '188780'),
        (510, 49, 'FLoadValue11', '300000'),
        (510, 50, 'FLoadCode11', '209590'),
        (510, 51, 'FLoadValue12', '330000'),
        (510, 52, 'FLoadCode12', '230400'),
        (510, 53, 'FColdMaxTime', '60'),
        (510, 54, 'FColdMaxSub', '0'),
        (510, 55, 'FColdEachSub', '0'),
        (510, 56, 'FColdCurrSub', '0'),
        (510, 57, 'FColdWaitTime', '0'),
        (510, 58, 'FColdCurrWait', '0'),
        (510, 59, 'FIsViewSpeed', '0'),
        (510, 60, 'FViewSpeedTime', '10'),
        (510, 61, 'FAutoLoad', '0'),
        (510, 62, 'FSpaceJudge', '0'),
        (510, 63, 'FProtectLoad', '15'),
        (510, 64, 'FUseProtect', '1'),
        (510, 65, 'FProtectTime', '30'),
        (510, 66, 'FJudgeMethod', '4'),
        (510, 67, 'FBreakValue', '3000'),
        (510, 68, 'FdotCount', '3'),
        (510, 69, 'FJudgeLoadPointType', '1'),
        (510, 70, 'FJudgeLoadType', '1'),
        (510, 71, 'FJudgeSpeedTime', '10'),
        (510, 72, 'FJudgeSpeedK', '30'),
        (510, 73, 'FJudgeFaTime', '5'),
        (510, 74, 'FJudgeFaK', '50'),
        (520, 0, 'IsInit', '1'),
        (520, 1, 'FMaxLoad', '10000'),
        (520, 2, 'FCtrlEntry', '2008'),
        (520, 3, 'FForcedLoad', '200'),
        (520, 4, 'FCantLoadTime', '30'),
        (520, 5, 'FUnloadDelay', '3'),
        (520, 6, 'FStartJudge', '300'),
        (520, 7, 'FCheckKY', '1'),
        (520, 8, 'FKYTHreshold', '5000'),
        (520, 9, 'FExistHand', '0'),
        (520, 10, 'FValveInit', '20000'),
        (520, 11, 'FValveMiddle', '12000'),
        (520, 12, 'FValveBack', '2000'),
        (520, 13, 'FPIDSect1', '1500'),
        (520, 14, 'FPIDSect2', '5000'),
        (520, 15, 'FPIDLoadKP1', '120'),
        (520, 16, 'FPIDLoadKI1', '12'),
        (520, 17, 'FPIDLoadKP2', '150'),
        (520, 18, 'FPIDLoadKI2', '15'),
        (520, 19, 'FPIDLoadKP3', '180'),
        (520, 20, 'FPIDLoadKI3', '18'),
        (520, 21, 'FPIDKeepKP1', '80'),
        (520, 22, 'FPIDKeepKI1', '6'),
        (520, 23, 'FPIDKeepKP2', '100'),
        (520, 24, 'FPIDKeepKI2', '8'),
        (520, 25, 'FPIDKeepKP3', '120'),
        (520, 26, 'FPIDKeepKI3', '10'),
        (520, 27, 'FPIDMaxOut', '1000'),
        (520, 28, 'FPIDMinOut', '0'),
        (520, 29, 'FLoadValue1', '0'),
        (520, 30, 'FLoadCode1', '0'),
        (520, 31, 'FLoadValue2', '1000'),
        (520, 32, 'FLoadCode2', '20080'),
        (520, 33, 'FLoadValue3', '2000'),
        (520, 34, 'FLoadCode3', '40130'),
        (520, 35, 'FLoadValue4', '3000'),
        (520, 36, 'FLoadCode4', '60150'),
        (520, 37, 'FLoadValue5', '4000'),
        (520, 38, 'FLoadCode5', '80140'),
        (520, 39, 'FLoadValue6', '5000'),
        (520, 40, 'FLoadCode6', '100100'),
        (520, 41, 'FLoadValue7', '6000'),
        (520, 42, 'FLoadCode7', '120040'),
        (520, 43, 'FLoadValue8', '7000'),
        (520, 44, 'FLoadCode8', '139960'),
        (520, 45, 'FLoadValue9', '8000'),
        (520, 46, 'FLoadCode9', '159860'),
        (520, 47, 'FLoadValue10', '9000'),
        (520, 48, 'FLoadCode10', '179750'),
        (520, 49, 'FLoadValue11', '10000'),
        (520, 50, 'FLoadCode11', '199630'),
        (520, 51, 'FLoadValue12', '11000'),
        (520, 52, 'FLoadCode12', '219510'),
        (520, 53, 'FColdMaxTime', '60'),
        (520, 54, 'FColdMaxSub', '0'),
        (520, 55, 'FColEachSub', '0'),
        (520, 56, 'FColdCurrSub', '0'),
        (520, 57, 'FColdWaitTime', '0'),
        (520, 58, 'FColdCurrWait', '0'),
        (520, 59, 'FISViewSpeed', '0'),
        (520, 60, 'FViewSpeedTime', '10'),
        (520, 61, 'FAutoLoad', '0'),
        (520, 62, 'FSpaceJudge', '0'),
        (520, 63, 'FProtectLoad', '500'),
        (520, 64, 'FUseProtect', '1'),
        (520, 65, 'FProtectTime', '30'),
        (520, 66, 'FJudgeMethod', '4'),
        (520, 67, 'FBreakValue', '150'),
        (520, 68, 'FdotCount', '3'),
        (520, 69, 'FJudgeLoadPointType', '1'),
        (520, 70, 'FJudgeLoadType', '1'),
        (520, 71, 'FJudgeSpeedTime', '10'),
        (520, 72, 'FJudgeSpeedK', '30'),
        (520, 73, 'FJudgeFaTime', '5'),
        (520, 74, 'FJudgeFaK', '50'))
INSERT INTO CtrlBoxSaveItems (CtrlBox, Name, Value)
    SELECT m, name, value FROM model JOIN item USING (family)
    ORDER BY model.pos, item.pos;

-- Default header captions of every test: the pairs the lab fills in on the
-- report (content left empty).
INSERT INTO DefaultCaptionInfo (expobj, sunxu, Name1, Data1, Name2, Data2) VALUES
    ('水泥胶砂抗压', 1, '委托单位', '', '工程名称', ''),
    ('水泥胶砂抗压', 2, '水泥品种', '', '生产厂家', ''),
    ('水泥胶砂抗压', 3, '出厂编号', '', '报告编号', ''),
    ('水泥胶砂抗折', 1, '委托单位', '', '工程名称', ''),
    ('水泥胶砂抗折', 2, '水泥品种', '', '生产厂家', ''),
    ('水泥胶砂抗折', 3, '出厂编号', '', '报告编号', ''),
    ('普通混凝土抗压', 1, '委托单位', '', '工程名称', ''),
    ('普通混凝土抗压', 2, '施工部位', '', '设计强度等级', ''),
    ('普通混凝土抗压', 3, '成型日期', '', '报告编号', ''),
    ('普通混凝土抗折', 1, '委托单位', '', '工程名称', ''),
    ('普通混凝土抗折', 2, '施工部位', '', '设计强度等级', ''),
    ('普通混凝土抗折', 3, '成型日期', '', '报告编号', ''),
    ('普通混凝土劈裂抗拉', 1, '委托单位', '', '工程名称', ''),
    ('普通混凝土劈裂抗拉', 2, '施工部位', '', '设计强度等级', ''),
    ('普通混凝土劈裂抗拉', 3, '成型日期', '', '报告编号', ''),
    ('普通混凝土轴心抗压', 1, '委托单位', '', '工程名称', ''),
    ('普通混凝土轴心抗压', 2, '施工部位', '', '设计强度等级', ''),
    ('普通混凝土轴心抗压', 3, '成型日期', '', '报告编号', ''),
    ('建筑砂浆抗压', 1, '委托单位', '', '工程名称', ''),
    ('建筑砂浆抗压', 2, '施工部位', '', '设计强度等级', ''),
    ('建筑砂浆抗压', 3, '成型日期', '', '报告编号', ''),
    ('力值检测', 1, '检测单位', '', '试验机名称', ''),
    ('力值检测', 2, '试验机编号', '', '标准测力仪', ''),
    ('力值检测', 3, '测力仪编号', '', '环境温度', '');

COMMIT;
