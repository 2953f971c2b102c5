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
    ('建筑砂浆抗压', 3, '成型日期', '', '报告编号', '');

COMMIT;
