-- Tabel database: the system's own objects in schema accounts_dep and stand-ins
-- for the host ERP objects the client reads and writes.
--
-- Load into an empty database with psql -v ON_ERROR_STOP=1.  The whole file runs
-- in one transaction: either everything is created or nothing is.  In a plant
-- database the host ERP schemas already exist and this file is not used there.

BEGIN;

-- A second load into the same database must not half-succeed or duplicate the
-- fixed rows: refuse it up front with a message that says what happened.
DO $$
BEGIN
  IF EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'accounts_dep') THEN
    RAISE EXCEPTION 'database "%" already holds schema accounts_dep: db/schema.sql loads only into an empty database',
      current_database()
      USING HINT = 'Drop and re-create the database (scripts/db template or scripts/db demo) to load it afresh.';
  END IF;
END
$$;

-- Dates are written into statements as DD.MM.YYYY literals ('01.3.2024',
-- vvod='05.03.2024'), so the server must read them day first.  A database
-- setting is lost when a database is cloned with CREATE DATABASE ... TEMPLATE,
-- so the client's role sys gets the same setting, which holds in every database
-- of the cluster.
DO $$
BEGIN
  EXECUTE format('ALTER DATABASE %I SET DateStyle = %L', current_database(), 'ISO, DMY');
  IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'sys') THEN
    ALTER ROLE sys SET DateStyle = 'ISO, DMY';
  END IF;
END
$$;
SET DateStyle = 'ISO, DMY';

-- ---------------------------------------------------------------------------
-- Host ERP domains.  Statements cast codes stored as text with s_code::t_id and
-- s_code::t_integer; the role sys resolves the unqualified names through the
-- default search_path, hence schema public.
-- ---------------------------------------------------------------------------
CREATE DOMAIN public.t_id AS numeric(15,0);
CREATE DOMAIN public.t_integer AS integer;

CREATE SCHEMA accounts_dep;
CREATE SCHEMA cmn_contractor;
CREATE SCHEMA cmn_classifier;
CREATE SCHEMA cmn_gds_and_srv;
CREATE SCHEMA cmn_department;
CREATE SCHEMA hrms_staffpos;
CREATE SCHEMA adm_role;

-- Ids 7777 (household work) and 7778 (average piecework) are reserved: they are
-- the two special operation kinds, their operation price rows, and the product
-- ids those rows point at.  Keys of vid_oper, oper and the goods table are drawn
-- through this function so a generated key never lands on a reserved id: a goods
-- item with id 7777 would pull the household operation into the piece-work
-- price list, and a generated kind 7777 would collide with the fixed row.
-- Ordinary keys therefore stay small and simply step over the two values.
CREATE FUNCTION accounts_dep.next_unreserved_id(seq regclass) RETURNS bigint
LANGUAGE plpgsql VOLATILE AS $$
DECLARE
  v bigint;
BEGIN
  LOOP
    v := nextval(seq);
    EXIT WHEN v NOT IN (7777, 7778);
  END LOOP;
  RETURN v;
END
$$;

-- ---------------------------------------------------------------------------
-- Host ERP stand-ins (only the columns the client uses, plus the worker's
-- descriptive text behind accounts_dep.person).
-- ---------------------------------------------------------------------------
CREATE TABLE cmn_contractor.person (
  id            serial PRIMARY KEY,
  s_code        varchar(254),
  s_caption     varchar(254),
  s_staffpos_hl varchar(254),
  -- Time sheets and reports join shift records to persons with
  -- s_code::integer over the whole table: one code that is not a whole number
  -- would make every one of those statements fail.
  CONSTRAINT person_s_code_is_number CHECK (s_code ~ '^[0-9]{1,9}$')
);

-- The host ERP numbers a new person's code after its id; old worker ids in
-- shift records and time sheets are matched through the code.
CREATE FUNCTION cmn_contractor.person_default_code() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
  IF NEW.s_code IS NULL OR btrim(NEW.s_code) = '' THEN
    NEW.s_code := NEW.id::text;
  END IF;
  RETURN NEW;
END
$$;

CREATE TRIGGER person_default_code BEFORE INSERT ON cmn_contractor.person
  FOR EACH ROW EXECUTE FUNCTION cmn_contractor.person_default_code();

CREATE INDEX person_s_code_int ON cmn_contractor.person ((s_code::integer));
CREATE INDEX person_s_code_tid ON cmn_contractor.person ((s_code::t_id));
CREATE INDEX person_s_caption ON cmn_contractor.person (s_caption);

-- Classifier items; level 2 items are the nomenclature groups.  The groups
-- book inserts only s_caption and b_excluded, so a new item defaults to level 2.
CREATE TABLE cmn_classifier.item (
  id              serial PRIMARY KEY,
  id_classifier   numeric(15,0),
  id_level        numeric(15,0) NOT NULL DEFAULT 2,
  s_code          varchar(254),
  s_caption       varchar(254),
  s_description   varchar(4000),
  d_excluded_date date,
  id_parent       numeric(15,0),
  b_excluded      integer NOT NULL DEFAULT 0
);

CREATE TABLE cmn_gds_and_srv.gds_and_srv (
  id            numeric(15,0) PRIMARY KEY,
  s_caption     varchar(254),
  s_description varchar(4000),
  id_msm_bs     numeric(15,0),
  massa         numeric(28,6),
  id_class_item numeric(15,0)
);
CREATE SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq OWNED BY cmn_gds_and_srv.gds_and_srv.id;
ALTER TABLE cmn_gds_and_srv.gds_and_srv
  ALTER COLUMN id SET DEFAULT accounts_dep.next_unreserved_id('cmn_gds_and_srv.gds_and_srv_id_seq');
CREATE INDEX gds_and_srv_id_class_item ON cmn_gds_and_srv.gds_and_srv (id_class_item);

CREATE TABLE cmn_department.department (
  id            serial PRIMARY KEY,
  id_branch     numeric(15,0),
  s_code        varchar(254),
  s_caption     varchar(254),
  s_description varchar(4000),
  id_parent     numeric(15,0)
);

CREATE TABLE hrms_staffpos.staffpos (
  id            serial PRIMARY KEY,
  id_department numeric(15,0),
  s_code        varchar(254),
  s_caption     varchar(254),
  d_begin       date,
  d_end         date,
  s_description varchar(4000)
);

CREATE TABLE adm_role.roles (
  id        serial PRIMARY KEY,
  s_name    varchar(30),
  s_caption varchar(254),
  d_begin   date,
  d_end     date,
  b_active  char(5)
);

-- ---------------------------------------------------------------------------
-- The system's own tables
-- ---------------------------------------------------------------------------
CREATE TABLE accounts_dep.smena (
  id            serial PRIMARY KEY,
  data          date,
  smena         smallint,
  w_id          integer,
  i_id          integer,
  o_id          integer,
  cena          double precision,
  kol_vo        integer,
  brak          smallint,
  color         integer,
  time          integer,
  ok            char(2),
  vvod          timestamp,
  prize         double precision,
  id_doc        numeric(15,0),
  id_doc_item   numeric(15,0),
  f_gds_qty_use double precision,
  id_gds_use    numeric(15,0),
  id_cons_use   numeric(15,0)
);
-- the shift log (one date and shift), the hours roll-up (worker and day),
-- the product delete and the period reports
CREATE INDEX smena_data_smena ON accounts_dep.smena (data, smena);
CREATE INDEX smena_w_id_data ON accounts_dep.smena (w_id, data);
CREATE INDEX smena_i_id ON accounts_dep.smena (i_id);
CREATE INDEX smena_o_id ON accounts_dep.smena (o_id);

CREATE TABLE accounts_dep.h_tabel (
  id      serial PRIMARY KEY,
  w_id    integer,
  -- household rows are inserted without smena, i_type and i_night
  smena   smallint NOT NULL DEFAULT 0,
  month   smallint,
  year    smallint,
  d1  smallint, d2  smallint, d3  smallint, d4  smallint, d5  smallint,
  d6  smallint, d7  smallint, d8  smallint, d9  smallint, d10 smallint,
  d11 smallint, d12 smallint, d13 smallint, d14 smallint, d15 smallint,
  d16 smallint, d17 smallint, d18 smallint, d19 smallint, d20 smallint,
  d21 smallint, d22 smallint, d23 smallint, d24 smallint, d25 smallint,
  d26 smallint, d27 smallint, d28 smallint, d29 smallint, d30 smallint,
  d31 smallint,
  i_type  integer NOT NULL DEFAULT 0,
  i_night integer NOT NULL DEFAULT 0
);
-- the roll-ups find a row by worker, shift or kind, month and year; the sheets
-- and rebuilds select a whole month
CREATE INDEX h_tabel_row ON accounts_dep.h_tabel (w_id, smena, month, year, i_type);
CREATE INDEX h_tabel_month ON accounts_dep.h_tabel (year, month, i_type);

CREATE TABLE accounts_dep.fatigue (
  id        serial PRIMARY KEY,
  id_o      numeric(15,0),
  id_p      numeric(15,0),
  id_nom    numeric(15,0),
  d_date    date,
  i_mnth    integer,
  i_year    integer,
  i_smena   integer,
  cnt       integer,
  price     numeric(15,4),
  i_holiday integer DEFAULT 0,
  i_night   integer DEFAULT 0
);
CREATE INDEX fatigue_d_date ON accounts_dep.fatigue (d_date);
CREATE INDEX fatigue_id_p_d_date ON accounts_dep.fatigue (id_p, d_date);
CREATE INDEX fatigue_month ON accounts_dep.fatigue (i_year, i_mnth, id_o);
CREATE INDEX fatigue_id_nom ON accounts_dep.fatigue (id_nom);

CREATE TABLE accounts_dep.vid_oper (
  id  integer PRIMARY KEY,
  vid char(128)
);
CREATE SEQUENCE accounts_dep.vid_oper_id_seq OWNED BY accounts_dep.vid_oper.id;
ALTER TABLE accounts_dep.vid_oper
  ALTER COLUMN id SET DEFAULT accounts_dep.next_unreserved_id('accounts_dep.vid_oper_id_seq');

CREATE TABLE accounts_dep.oper (
  id       integer PRIMARY KEY,
  vid      integer,
  naimen   smallint,
  i_id     integer,
  cena     numeric(19,4),
  cena_new numeric(19,4)
);
CREATE SEQUENCE accounts_dep.oper_id_seq OWNED BY accounts_dep.oper.id;
ALTER TABLE accounts_dep.oper
  ALTER COLUMN id SET DEFAULT accounts_dep.next_unreserved_id('accounts_dep.oper_id_seq');
CREATE INDEX oper_i_id ON accounts_dep.oper (i_id);
CREATE INDEX oper_vid ON accounts_dep.oper (vid);

CREATE TABLE accounts_dep.norm (
  id     serial PRIMARY KEY,
  o_id   integer,
  norma  integer,
  prize  integer,
  price  numeric
);
CREATE INDEX norm_o_id ON accounts_dep.norm (o_id);

CREATE TABLE accounts_dep.ver (
  d     integer,
  t     integer,
  delim varchar(255)
);
-- the build stamp is a single row
CREATE UNIQUE INDEX ver_single_row ON accounts_dep.ver ((true));

-- legacy tables, filled only by the import
CREATE TABLE accounts_dep.workers (
  id   serial PRIMARY KEY,
  fio  char(128),
  addr char(128)
);

CREATE TABLE accounts_dep.nomenkl (
  id    serial PRIMARY KEY,
  nom   varchar(512),
  marka char(128)
);

-- ---------------------------------------------------------------------------
-- Views over the host ERP
-- ---------------------------------------------------------------------------

-- Workers.  A plain column mapping of one table, so PostgreSQL updates it
-- directly: INSERT (fio, s_staffpos_hl) creates a person (id from its sequence,
-- s_code from the trigger above), UPDATE ... SET fio=... WHERE
-- accounts_dep.person.id=... and DELETE ... WHERE id=... reach the person row.
CREATE VIEW accounts_dep.person AS
  SELECT p.id,
         p.s_caption     AS fio,
         p.s_staffpos_hl AS s_staffpos_hl
    FROM cmn_contractor.person p;

-- Products: goods items with the caption of their nomenclature group.  The
-- client writes products into the goods table itself.
CREATE VIEW accounts_dep.izdel AS
  SELECT g.id,
         g.s_caption                AS marka,
         i.s_caption::varchar(255)  AS nom,
         g.massa,
         g.id_class_item,
         i.id::numeric(15,0)        AS id_nom
    FROM cmn_gds_and_srv.gds_and_srv g
    LEFT JOIN cmn_classifier.item i ON i.id = g.id_class_item;

-- ---------------------------------------------------------------------------
-- Fixed rows
-- ---------------------------------------------------------------------------
INSERT INTO accounts_dep.vid_oper (id, vid) VALUES
  (7777, 'Хоз. работы'),
  (7778, 'Ср. сдел.');

-- One operation per special kind.  Its product id is the kind's own id, which
-- no goods item ever gets (see next_unreserved_id): the household entry and
-- register reach the hourly price through oper/norm without the products view,
-- while the piece-work price list, which joins the products, never offers them.
INSERT INTO accounts_dep.oper (id, vid, naimen, i_id, cena, cena_new) VALUES
  (7777, 7777, 0, 7777, 0, 0),
  (7778, 7778, 0, 7778, 0, 0);

-- hourly prices
INSERT INTO accounts_dep.norm (o_id, norma, prize, price) VALUES
  (7777, 1, 0, 150.00),
  (7778, 1, 0, 180.00);

INSERT INTO accounts_dep.ver (d, t, delim) VALUES (0, 0, '.');

COMMIT;

-- ---------------------------------------------------------------------------
-- Operation prices: the first norm
-- ---------------------------------------------------------------------------
-- The price list shows an operation price only through its norms, and its norms
-- window is opened from a row of that list: an operation price written without
-- a norm could never be reached.  Every new operation price therefore gets one
-- norm (figure 1, its own stored price, no bonus) unless a norm for it exists
-- when the inserting transaction commits.  The check is deferred to the commit,
-- so a load that writes an operation price and its norms in one transaction
-- keeps exactly the norms it wrote.
BEGIN;

CREATE FUNCTION accounts_dep.oper_first_norm() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
  IF EXISTS (SELECT 1 FROM accounts_dep.oper WHERE id = NEW.id)
     AND NOT EXISTS (SELECT 1 FROM accounts_dep.norm WHERE o_id = NEW.id) THEN
    INSERT INTO accounts_dep.norm (o_id, norma, prize, price)
      VALUES (NEW.id, 1, 0, coalesce(NEW.cena_new, 0));
  END IF;
  RETURN NULL;
END
$$;

CREATE CONSTRAINT TRIGGER oper_first_norm AFTER INSERT ON accounts_dep.oper
  DEFERRABLE INITIALLY DEFERRED
  FOR EACH ROW EXECUTE FUNCTION accounts_dep.oper_first_norm();

COMMIT;

-- ---------------------------------------------------------------------------
-- Operation kinds: the reserved kinds stay
-- ---------------------------------------------------------------------------
-- Household work (7777) and average piecework (7778) carry the household
-- records, their hourly prices and their time-sheet rows; deleting either kind
-- from the operation kinds book would cut all of them off.
CREATE FUNCTION accounts_dep.vid_oper_keep_reserved() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
  RAISE EXCEPTION 'Вид операции "%" служебный (хозяйственные работы и средняя сдельная) и не удаляется',
    rtrim(OLD.vid);
END
$$;

CREATE TRIGGER vid_oper_keep_reserved BEFORE DELETE ON accounts_dep.vid_oper
  FOR EACH ROW WHEN (OLD.id IN (7777, 7778))
  EXECUTE FUNCTION accounts_dep.vid_oper_keep_reserved();
