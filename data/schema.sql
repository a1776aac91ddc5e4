-- Demo warehouse schema for qlx.
--
-- Runs unchanged on SQLite, PostgreSQL, SQL Server and Oracle: plain types,
-- unquoted upper-case names, and every statement ends with a semicolon as the
-- last character of its last line.
--
-- The maintenance tables deliberately carry no primary key, unique constraint,
-- NOT NULL or foreign key. The program tells rows apart by its own existence
-- checks, and an entry without children is stored as one placeholder row whose
-- lower key columns each hold a single blank, so every key column must accept
-- a blank. Everything the program compares as quoted text is stored as text,
-- account numbers and business unit and area ids included. Ranges are tested
-- with BETWEEN on text, so all ids of one kind have the same number of digits.

-- ---------------------------------------------------------------------------
-- Source tables, loaded by the warehouse jobs and only read by qlx.
-- ---------------------------------------------------------------------------

-- One row per account of a chart of account. The chart of account code lives
-- in BUSINESS_UNIT_ID for historical reasons. The seven level pairs hold the
-- code and name of the account at reporting levels L1 to L7. The multiplier
-- value columns are the ones CS_MULTIPLIERXREF may name. BLOCKED_FLG is the
-- text 0 for an open account and 1 for a blocked one.
CREATE TABLE CHART_OF_ACCOUNT (
    BUSINESS_UNIT_ID VARCHAR(10),
    ACCOUNT_NO VARCHAR(20),
    BUSINESS_UNIT_NM VARCHAR(100),
    ACCOUNT_NM VARCHAR(100),
    ACCOUNT_LVL_1_NO VARCHAR(20),
    ACCOUNT_LVL_1_NM VARCHAR(100),
    ACCOUNT_LVL_2_NO VARCHAR(20),
    ACCOUNT_LVL_2_NM VARCHAR(100),
    ACCOUNT_LVL_3_NO VARCHAR(20),
    ACCOUNT_LVL_3_NM VARCHAR(100),
    ACCOUNT_LVL_4_NO VARCHAR(20),
    ACCOUNT_LVL_4_NM VARCHAR(100),
    ACCOUNT_LVL_5_NO VARCHAR(20),
    ACCOUNT_LVL_5_NM VARCHAR(100),
    ACCOUNT_LVL_6_NO VARCHAR(20),
    ACCOUNT_LVL_6_NM VARCHAR(100),
    ACCOUNT_LVL_7_NO VARCHAR(20),
    ACCOUNT_LVL_7_NM VARCHAR(100),
    ACCOUNT_CAT_TYP_CD VARCHAR(10),
    ACCOUNT_CAT_TYP_NM VARCHAR(100),
    ACCOUNT_SIGN_MULT VARCHAR(10),
    ACCOUNT_FX_RATE_TYP VARCHAR(10),
    BLOCKED_FLG VARCHAR(1)
);

-- Business unit dimension. Ranges of CS_BA_BU_LEVELS are made of
-- BUS_UNIT_DIM_ID values, BUSINESS_UNIT_CD is the code shown beside them.
-- Levels 1 to 10, padded downwards with the unit itself.
CREATE TABLE BUSINESS_UNIT (
    BUS_UNIT_DIM_ID VARCHAR(20),
    BUSINESS_UNIT_CD VARCHAR(20),
    BUSINESS_UNIT_NM VARCHAR(100),
    BUS_UNIT_LVL1_CD VARCHAR(20),
    BUS_UNIT_LVL1_NM VARCHAR(100),
    BUS_UNIT_LVL2_CD VARCHAR(20),
    BUS_UNIT_LVL2_NM VARCHAR(100),
    BUS_UNIT_LVL3_CD VARCHAR(20),
    BUS_UNIT_LVL3_NM VARCHAR(100),
    BUS_UNIT_LVL4_CD VARCHAR(20),
    BUS_UNIT_LVL4_NM VARCHAR(100),
    BUS_UNIT_LVL5_CD VARCHAR(20),
    BUS_UNIT_LVL5_NM VARCHAR(100),
    BUS_UNIT_LVL6_CD VARCHAR(20),
    BUS_UNIT_LVL6_NM VARCHAR(100),
    BUS_UNIT_LVL7_CD VARCHAR(20),
    BUS_UNIT_LVL7_NM VARCHAR(100),
    BUS_UNIT_LVL8_CD VARCHAR(20),
    BUS_UNIT_LVL8_NM VARCHAR(100),
    BUS_UNIT_LVL9_CD VARCHAR(20),
    BUS_UNIT_LVL9_NM VARCHAR(100),
    BUS_UNIT_LVL10_CD VARCHAR(20),
    BUS_UNIT_LVL10_NM VARCHAR(100)
);

-- Business area dimension, levels 1 to 5, padded downwards with the area.
CREATE TABLE BUSINESS_AREA (
    BUSINESS_AR_DIM_ID VARCHAR(20),
    BUSINESS_AREA_CD VARCHAR(20),
    BUSINESS_AREA_NM VARCHAR(100),
    BA_LEVEL_1_CD VARCHAR(20),
    BA_LEVEL_1_NM VARCHAR(100),
    BA_LEVEL_2_CD VARCHAR(20),
    BA_LEVEL_2_NM VARCHAR(100),
    BA_LEVEL_3_CD VARCHAR(20),
    BA_LEVEL_3_NM VARCHAR(100),
    BA_LEVEL_4_CD VARCHAR(20),
    BA_LEVEL_4_NM VARCHAR(100),
    BA_LEVEL_5_CD VARCHAR(20),
    BA_LEVEL_5_NM VARCHAR(100)
);

-- Multiplier dictionary. Codes starting with D are retired and hidden from
-- the multiplier range tree. Kept to these two columns: the range tree joins
-- this table with SELECT * and unqualified range columns.
CREATE TABLE CS_MULTIPLIER (
    MULPT VARCHAR(10),
    MULDESC VARCHAR(100)
);

-- Which CHART_OF_ACCOUNT column carries the value of each multiplier.
CREATE TABLE CS_MULTIPLIERXREF (
    CS_MULPT VARCHAR(10),
    CS_MULFIELD VARCHAR(30)
);

-- Job control table of the warehouse loads. qlx only needs it to hold a row:
-- it is the FROM of the server-side text comparison of range bounds.
CREATE TABLE C_EXEJOBS (
    JOB_ID VARCHAR(20),
    JOB_NM VARCHAR(100),
    JOB_STATUS VARCHAR(20),
    LAST_RUN_TS VARCHAR(19)
);

-- ---------------------------------------------------------------------------
-- Code dictionaries, maintained through the lookup dialog.
-- ---------------------------------------------------------------------------

-- Levels and level codes per area (AC accounts, BU business units, BA
-- business areas). A level without codes is one row whose code and
-- description each hold a single blank.
CREATE TABLE CS_SOURCE (
    SOAREA VARCHAR(10),
    SOLEVEL VARCHAR(10),
    SOCODE VARCHAR(20),
    SODESC VARCHAR(100)
);

-- Category codes.
CREATE TABLE CS_CAT_DESC (
    CAT_CODE VARCHAR(10),
    CAT_DESC VARCHAR(100)
);

-- ---------------------------------------------------------------------------
-- Range tables.
-- ---------------------------------------------------------------------------

-- Account ranges per chart of account, level and code.
CREATE TABLE CS_COA_ACCT_RANGE (
    CO_COA VARCHAR(10),
    CO_LEVEL VARCHAR(10),
    CO_CODE VARCHAR(20),
    CO_FR_ACCT VARCHAR(20),
    CO_TO_ACCT VARCHAR(20)
);

-- Business unit (SO_AREA BU) and business area (SO_AREA BA) id ranges
-- per level and code. SO_AREA holds the business level, which the editors
-- only show again when it equals the area code.
CREATE TABLE CS_BA_BU_LEVELS (
    SO_AREA VARCHAR(10),
    SO_LEVELS VARCHAR(10),
    SO_CODE VARCHAR(20),
    SO_FR_CD VARCHAR(20),
    SO_TO_CD VARCHAR(20)
);

-- Account ranges per chart of account and multiplier.
CREATE TABLE CS_MULTIPLIER_RANGE (
    MUL_COA VARCHAR(10),
    MUL_CODE VARCHAR(10),
    MUL_FR_ACCT VARCHAR(20),
    MUL_TO_ACCT VARCHAR(20)
);

-- Account ranges per chart of account and category.
CREATE TABLE CS_CAT_TYPE (
    CAT_COA VARCHAR(10),
    CAT_TYP_CD VARCHAR(10),
    CAT_FR_ACCT VARCHAR(20),
    CAT_TO_ACCT VARCHAR(20)
);

-- ---------------------------------------------------------------------------
-- Hierarchy tables.
-- ---------------------------------------------------------------------------

-- Parent/child level codes per area and chart of account (area AC) or
-- business level (areas BU and BA, where CS_COA holds the business level).
CREATE TABLE CS_LEVELHIER (
    CS_AREA VARCHAR(10),
    CS_COA VARCHAR(10),
    CS_PARENTLEVEL VARCHAR(10),
    CS_PARENTCODE VARCHAR(20),
    CS_CHILDLEVEL VARCHAR(10),
    CS_CHILDCODE VARCHAR(20)
);

-- Level codes hanging under each multiplier of a chart of account.
CREATE TABLE CS_MULTIPLIERHIER (
    CS_AREA VARCHAR(10),
    CS_COA VARCHAR(10),
    CS_MULTIPLIER VARCHAR(10),
    CS_LEVEL VARCHAR(10),
    CS_CODE VARCHAR(20)
);

-- Level codes hanging under each category of a chart of account.
CREATE TABLE CS_CATEGORYHIER (
    CS_AREA VARCHAR(10),
    CS_COA VARCHAR(10),
    CS_CATEGORY VARCHAR(10),
    CS_LEVEL VARCHAR(10),
    CS_CODE VARCHAR(20)
);

-- ---------------------------------------------------------------------------
-- Indexes. Non-unique on purpose: duplicates are kept out by the program.
-- The range tables' indexes cover every key column, bounds included, so a
-- range is found or removed without reading the other ranges of its code.
-- The second index of each hierarchy table serves the walk from a child code
-- up to its parents and the lookup of the multipliers and categories that
-- hold a code.
-- ---------------------------------------------------------------------------

CREATE INDEX IX_CS_COA_ACCT_RANGE ON CS_COA_ACCT_RANGE (CO_COA, CO_LEVEL, CO_CODE, CO_FR_ACCT, CO_TO_ACCT);
CREATE INDEX IX_CS_BA_BU_LEVELS ON CS_BA_BU_LEVELS (SO_AREA, SO_LEVELS, SO_CODE, SO_FR_CD, SO_TO_CD);
CREATE INDEX IX_CS_MULTIPLIER_RANGE ON CS_MULTIPLIER_RANGE (MUL_COA, MUL_CODE, MUL_FR_ACCT, MUL_TO_ACCT);
CREATE INDEX IX_CS_CAT_TYPE ON CS_CAT_TYPE (CAT_COA, CAT_TYP_CD, CAT_FR_ACCT, CAT_TO_ACCT);
CREATE INDEX IX_CS_LEVELHIER ON CS_LEVELHIER (CS_AREA, CS_COA, CS_PARENTLEVEL, CS_PARENTCODE);
CREATE INDEX IX_CS_LEVELHIER_CHILD ON CS_LEVELHIER (CS_AREA, CS_COA, CS_CHILDLEVEL, CS_CHILDCODE);
CREATE INDEX IX_CS_MULTIPLIERHIER ON CS_MULTIPLIERHIER (CS_AREA, CS_COA, CS_MULTIPLIER);
CREATE INDEX IX_CS_MULTIPLIERHIER_CODE ON CS_MULTIPLIERHIER (CS_AREA, CS_COA, CS_LEVEL, CS_CODE);
CREATE INDEX IX_CS_CATEGORYHIER ON CS_CATEGORYHIER (CS_AREA, CS_COA, CS_CATEGORY);
CREATE INDEX IX_CS_CATEGORYHIER_CODE ON CS_CATEGORYHIER (CS_AREA, CS_COA, CS_LEVEL, CS_CODE);
CREATE INDEX IX_CS_SOURCE ON CS_SOURCE (SOAREA, SOLEVEL, SOCODE);
CREATE INDEX IX_CS_CAT_DESC ON CS_CAT_DESC (CAT_CODE);
CREATE INDEX IX_CHART_OF_ACCOUNT ON CHART_OF_ACCOUNT (BUSINESS_UNIT_ID, ACCOUNT_NO);
CREATE INDEX IX_BUSINESS_UNIT ON BUSINESS_UNIT (BUS_UNIT_DIM_ID);
CREATE INDEX IX_BUSINESS_AREA ON BUSINESS_AREA (BUSINESS_AR_DIM_ID);
CREATE INDEX IX_CS_MULTIPLIER ON CS_MULTIPLIER (MULPT);
CREATE INDEX IX_CS_MULTIPLIERXREF ON CS_MULTIPLIERXREF (CS_MULPT);
