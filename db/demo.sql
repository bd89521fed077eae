-- Demo plant for Tabel: load after db/schema.sql into the same, otherwise empty,
-- database (scripts/db demo).  Rows are written through the same tables and
-- views the client uses.  Dates are relative to current_date: shift records and
-- household records run from the first day of the previous month up to today,
-- so the shift log shows today's shift and the period reports, which open on
-- the previous month, show something too.  The data is deterministic for a
-- given date (no random()).

BEGIN;

-- ---------------------------------------------------------------------------
-- Host ERP reference data
-- ---------------------------------------------------------------------------
INSERT INTO cmn_department.department (id_branch, s_code, s_caption, s_description, id_parent) VALUES
  (1, '01', 'Заготовительный участок', 'Резка, гибка, сверловка металла', NULL),
  (1, '02', 'Сварочный участок', 'Сварка металлоконструкций', NULL),
  (1, '03', 'Малярный участок', 'Грунтование и покраска', NULL),
  (1, '04', 'Сборочный участок', 'Сборка и упаковка изделий', NULL),
  (1, '05', 'Механический участок', 'Токарная обработка', NULL),
  (1, '06', 'Склад готовой продукции', 'Приёмка и отгрузка', NULL);

INSERT INTO hrms_staffpos.staffpos (id_department, s_code, s_caption, d_begin, d_end, s_description)
SELECT d.id, v.code, v.caption, DATE '2015-01-01', NULL, NULL
  FROM (VALUES ('Заготовительный участок', '101', 'Резчик металла'),
               ('Заготовительный участок', '102', 'Гибщик'),
               ('Сварочный участок',       '201', 'Электросварщик'),
               ('Малярный участок',        '301', 'Маляр'),
               ('Сборочный участок',       '401', 'Слесарь-сборщик'),
               ('Сборочный участок',       '402', 'Упаковщик'),
               ('Механический участок',    '501', 'Токарь'),
               ('Склад готовой продукции', '601', 'Кладовщик'),
               ('Сборочный участок',       '403', 'Мастер смены')) AS v(dep, code, caption)
  JOIN cmn_department.department d ON d.s_caption = v.dep;

INSERT INTO adm_role.roles (s_name, s_caption, d_begin, d_end, b_active) VALUES
  ('admin',       'Администратор', DATE '2015-01-01', NULL, 'true'),
  ('planner',     'Плановик',      DATE '2015-01-01', NULL, 'true'),
  ('foreman',     'Мастер смены',  DATE '2015-01-01', NULL, 'true'),
  ('storekeeper', 'Кладовщик',     DATE '2015-01-01', NULL, 'true'),
  ('worker',      'Рабочий',       DATE '2015-01-01', NULL, 'true');

-- Workers, entered the way the workers book enters them: the descriptive text
-- is the department caption.
INSERT INTO accounts_dep.person (fio, s_staffpos_hl) VALUES
  ('Иванов И.И.',      'Заготовительный участок'),
  ('Петров П.С.',      'Заготовительный участок'),
  ('Сидоров А.В.',     'Заготовительный участок'),
  ('Кузнецов Д.Н.',    'Заготовительный участок'),
  ('Смирнов В.П.',     'Заготовительный участок'),
  ('Попов С.А.',       'Заготовительный участок'),
  ('Васильев Е.М.',    'Заготовительный участок'),
  ('Соколов Н.Г.',     'Сварочный участок'),
  ('Михайлов А.А.',    'Сварочный участок'),
  ('Новиков Р.О.',     'Сварочный участок'),
  ('Фёдоров К.В.',     'Сварочный участок'),
  ('Морозов Ю.Л.',     'Сварочный участок'),
  ('Волков Г.И.',      'Сварочный участок'),
  ('Алексеев О.Д.',    'Сварочный участок'),
  ('Лебедев М.Ю.',     'Малярный участок'),
  ('Семёнов Т.Р.',     'Малярный участок'),
  ('Егоров П.П.',      'Малярный участок'),
  ('Павлова Н.В.',     'Малярный участок'),
  ('Козлов И.С.',      'Малярный участок'),
  ('Степанов Л.А.',    'Малярный участок'),
  ('Николаев В.В.',    'Сборочный участок'),
  ('Орлова Е.А.',      'Сборочный участок'),
  ('Андреев С.С.',     'Сборочный участок'),
  ('Макаров Д.И.',     'Сборочный участок'),
  ('Никитин А.Н.',     'Сборочный участок'),
  ('Захаров Б.К.',     'Сборочный участок'),
  ('Зайцев Ф.Ф.',      'Сборочный участок'),
  ('Соловьёв Г.Е.',    'Сборочный участок'),
  ('Борисов А.М.',     'Сборочный участок'),
  ('Яковлева О.Н.',    'Сборочный участок'),
  ('Григорьев В.А.',   'Механический участок'),
  ('Романов С.Ю.',     'Механический участок'),
  ('Воробьёв К.П.',    'Механический участок'),
  ('Сергеев М.В.',     'Механический участок'),
  ('Кузьмин Е.Д.',     'Механический участок'),
  ('Фролов А.Г.',      'Механический участок'),
  ('Александров Н.Н.', 'Заготовительный участок'),
  ('Дмитриев Р.С.',    'Сварочный участок'),
  ('Королёва Т.И.',    'Склад готовой продукции'),
  ('Гусев П.А.',       'Склад готовой продукции');

-- Nomenclature groups, entered the way the groups book enters them (the level
-- comes from the default); the last one is no longer used.
INSERT INTO cmn_classifier.item (s_caption, b_excluded) VALUES
  ('Стеллажи', 0),
  ('Кронштейны', 0),
  ('Металлоконструкции', 0),
  ('Ограждения', 0),
  ('Шкафы металлические', 0),
  ('Детали и заготовки', 0),
  ('Снято с производства', 1);

-- Products, entered the way the products book enters them (unit 6).
INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, id_class_item)
SELECT v.mark, '', 6, v.massa, i.id
  FROM (VALUES ('Стеллажи',            'СТ-120',                 0.5),
               ('Стеллажи',            'СТ-150',                 0.5),
               ('Стеллажи',            'СТ-200',                 1),
               ('Стеллажи',            'СТ-250',                 1),
               ('Стеллажи',            'Стойка С-2000',          0.25),
               ('Стеллажи',            'Полка П-800',            0.1),
               ('Стеллажи',            'Полка П-1000',           0.125),
               ('Кронштейны',          'Кронштейн КР-1',         0.02),
               ('Кронштейны',          'Кронштейн КР-2',         0.02),
               ('Кронштейны',          'Кронштейн КР-3',         0.025),
               ('Кронштейны',          'Кронштейн КР-5',         0.05),
               ('Кронштейны',          'Кронштейн угловой КУ-40', 0.04),
               ('Металлоконструкции',  'Ферма ФМ-6',             2),
               ('Металлоконструкции',  'Балка Б-12',             1.5),
               ('Металлоконструкции',  'Опора ОП-3',             0.75),
               ('Металлоконструкции',  'Рама РМ-14',             1),
               ('Ограждения',          'Ограждение ОГ-1',        0.5),
               ('Ограждения',          'Ограждение ОГ-2',        0.5),
               ('Ограждения',          'Секция забора СЗ-25',    1),
               ('Ограждения',          'Калитка К-1',            1),
               ('Шкафы металлические', 'Шкаф ШМ-1',              1),
               ('Шкафы металлические', 'Шкаф ШМ-2',              1),
               ('Шкафы металлические', 'Шкаф ШР-18',             1),
               ('Шкафы металлические', 'Ящик инструментальный ЯИ-3', 0.2),
               ('Детали и заготовки',  'Уголок 40х40',           0.01),
               ('Детали и заготовки',  'Пластина ПЛ-6',          0.01),
               ('Детали и заготовки',  'Косынка КС-2',           0.005),
               ('Детали и заготовки',  'Трубка ТР-20',           0.01),
               ('Детали и заготовки',  'Лист перфорированный ЛП-1', 0.05),
               ('Детали и заготовки',  'Швеллер 10П',            0.02)) AS v(grp, mark, massa)
  JOIN cmn_classifier.item i ON i.s_caption = v.grp
 ORDER BY i.id, v.mark;

-- ---------------------------------------------------------------------------
-- Operation kinds, prices and norms
-- ---------------------------------------------------------------------------
-- Painting kinds carry "КРАСКА" in their name: the shift dialog then asks for
-- a colour.
CREATE TEMP TABLE demo_kind (vid text PRIMARY KEY, base numeric, blanks boolean);
INSERT INTO demo_kind VALUES
  ('Резка',              3.50, true),
  ('Гибка',              4.20, true),
  ('Сверловка',          2.80, true),
  ('Токарная обработка', 12.00, true),
  ('Сварка',             18.50, false),
  ('Зачистка',           5.00, false),
  ('Грунтование КРАСКА', 6.00, false),
  ('Покраска КРАСКА',    9.50, false),
  ('Сборка',             15.00, false),
  ('Упаковка',           2.00, false);

INSERT INTO accounts_dep.vid_oper (vid) SELECT vid FROM demo_kind ORDER BY vid;

-- Every product gets about four operations; blanks operations are priced for
-- "Заготовки" (naimen 1), the rest for the finished product.
INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena, cena_new)
SELECT v.id,
       CASE WHEN k.blanks OR i.s_caption = 'Детали и заготовки' THEN 1 ELSE 0 END,
       g.id, 0, 0
  FROM cmn_gds_and_srv.gds_and_srv g
  JOIN cmn_classifier.item i ON i.id = g.id_class_item
  CROSS JOIN accounts_dep.vid_oper v
  JOIN demo_kind k ON k.vid = btrim(v.vid)
 WHERE (g.id * 7 + v.id * 3) % 10 < 4
 ORDER BY g.id, v.id;

-- One to three norms per operation; a higher norm pays less per piece, so the
-- lowest price belongs to the highest norm.
INSERT INTO accounts_dep.norm (o_id, norma, prize, price)
SELECT o.id,
       50 * n + (o.id % 5) * 10,
       (o.id % 3) * 5,
       round(k.base * (1 + (o.i_id % 5) * 0.15) * (1 - 0.08 * (n - 1)), 2)
  FROM accounts_dep.oper o
  JOIN accounts_dep.vid_oper v ON v.id = o.vid
  JOIN demo_kind k ON k.vid = btrim(v.vid)
  CROSS JOIN LATERAL generate_series(1, 1 + o.id % 3) AS n
 ORDER BY o.id, n;

-- ---------------------------------------------------------------------------
-- Shift records and household records, previous month up to today
-- ---------------------------------------------------------------------------
-- Working days are Monday to Friday; today is always included, also when it
-- falls on a weekend (then it is a day off with doubled prices).
CREATE TEMP TABLE demo_day AS
SELECT d::date AS data,
       extract(day FROM d)::int AS dom,
       extract(isodow FROM d) >= 6 AS dayoff
  FROM generate_series(date_trunc('month', current_date) - interval '1 month',
                       current_date::timestamp, interval '1 day') AS d
 WHERE extract(isodow FROM d) < 6 OR d::date = current_date;

-- Storekeepers do not work in the shifts; the others are spread over shifts
-- 1 to 3.
CREATE TEMP TABLE demo_worker AS
SELECT id, 1 + (row_number() OVER (ORDER BY id))::int % 3 AS shift
  FROM accounts_dep.person
 WHERE s_staffpos_hl <> 'Склад готовой продукции';

-- What a worker does on a day: nothing (absent), household work, average
-- piecework, or piece work in one or two records.
CREATE TEMP TABLE demo_plan AS
SELECT w.id AS w_id, w.shift, d.data, d.dom, d.dayoff,
       CASE WHEN (w.id * 3 + d.dom) % 17 = 0 THEN 'absent'
            WHEN (w.id + d.dom) % 10 = 0 THEN 'household'
            WHEN (w.id * 7 + d.dom) % 23 = 0 THEN 'average'
            ELSE 'piece' END AS kind
  FROM demo_worker w CROSS JOIN demo_day d;

-- operations that can be entered (they keep their norms, see the end of the
-- file), numbered for picking
CREATE TEMP TABLE demo_op AS
SELECT o.id AS o_id, o.i_id, btrim(v.vid) AS vid, min(n.price) AS price,
       row_number() OVER (ORDER BY o.id)::int AS rn
  FROM accounts_dep.oper o
  JOIN accounts_dep.norm n ON n.o_id = o.id
  JOIN accounts_dep.vid_oper v ON v.id = o.vid
 WHERE o.vid NOT IN (7777, 7778) AND o.id % 19 <> 0
 GROUP BY o.id, o.i_id, v.vid;

CREATE TEMP TABLE demo_rec AS
SELECT p.w_id, p.data, p.dom, p.dayoff, r.smena, r.j, r.hours
  FROM demo_plan p
  CROSS JOIN LATERAL (
        -- one record of 8 hours, or two of 5 and 3 hours, in the worker's shift
        SELECT p.shift AS smena, j,
               CASE WHEN (p.w_id + p.dom) % 3 = 0 THEN (CASE j WHEN 1 THEN 5 ELSE 3 END) ELSE 8 END AS hours
          FROM generate_series(1, CASE WHEN (p.w_id + p.dom) % 3 = 0 THEN 2 ELSE 1 END) AS j
        UNION ALL
        -- now and then two or three hours of overtime
        SELECT 4, 3, 2 + (p.w_id % 2)
         WHERE (p.w_id + p.dom * 5) % 19 = 0
       ) AS r
 WHERE p.kind = 'piece';

INSERT INTO accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, vvod,
                                prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
SELECT r.data, r.smena, r.w_id, op.i_id, op.o_id,
       -- the price at entry: lowest norm price, doubled on a day off, times 1.2
       -- in shift 3 and 1.5 in overtime
       round(op.price * CASE WHEN r.dayoff THEN 2 ELSE 1 END
                      * CASE r.smena WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END, 4)::double precision,
       r.hours * (4 + (r.w_id * 7 + r.dom * 3 + r.j) % 22),
       CASE WHEN (r.w_id + r.dom + r.j) % 7 = 0 THEN 1 + r.w_id % 3 ELSE 0 END,
       CASE WHEN op.vid LIKE 'Грунтование%' THEN 1
            WHEN op.vid LIKE '%КРАСКА%' THEN (ARRAY[9010, 3020, 5015, 7035, 6005, 1015])[1 + (r.w_id + r.dom) % 6]
            ELSE 0 END,
       r.hours,
       CASE WHEN (r.w_id * 5 + r.dom + r.j) % 29 = 0 THEN 'ta'
            WHEN r.data = current_date THEN CASE WHEN (r.w_id + r.j) % 4 = 0 THEN 'ok' ELSE 'no' END
            WHEN (r.w_id + r.dom) % 11 = 0 THEN 'no'
            ELSE 'ok' END,
       r.data::timestamp,
       0, 0, 0, 0, 0, 0
  FROM demo_rec r
  JOIN demo_op op
    ON op.rn = 1 + (r.w_id * 31 + r.dom * 7 + r.j * 13) % (SELECT count(*) FROM demo_op)
 ORDER BY r.data, r.smena, r.w_id, r.j;

-- Household records: one group per worker, night work for the third shift,
-- hourly price from the kind's norm with the day-off and night uplifts, as the
-- household entry computes it.
INSERT INTO accounts_dep.fatigue (id_o, id_p, id_nom, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
SELECT k.kind_id, p.w_id, grp.id, p.data,
       extract(month FROM p.data), extract(year FROM p.data), 1,
       CASE WHEN p.kind = 'household' AND p.w_id % 4 = 0 THEN 4 ELSE 8 END,
       n.price * CASE WHEN p.dayoff THEN 2 ELSE 1 END * CASE WHEN p.shift = 3 THEN 1.2 ELSE 1 END,
       p.dayoff::int, (p.shift = 3)::int
  FROM demo_plan p
  JOIN (VALUES ('household', 7777), ('average', 7778)) AS k(kind, kind_id) ON k.kind = p.kind
  JOIN accounts_dep.oper o ON o.vid = k.kind_id
  JOIN accounts_dep.norm n ON n.o_id = o.id
  JOIN LATERAL (SELECT i.id FROM cmn_classifier.item i
                 WHERE i.id_level = 2 AND i.b_excluded = 0
                 ORDER BY i.id OFFSET p.w_id % 6 LIMIT 1) AS grp ON true
 ORDER BY p.data, p.w_id;

-- Average piecework is paid at the worker's piece-work earnings per hour in
-- the month (doubled on a day off, 1.2 times at night), as the register's
-- recomputation sets it.
UPDATE accounts_dep.fatigue f
   SET price = coalesce((
         SELECT CASE WHEN coalesce(sum(s.time), 0) = 0 THEN 0
                     ELSE (sum((s.kol_vo - s.brak) * (s.cena + s.cena * f.i_holiday + s.cena * f.i_night * 0.2))
                           / sum(s.time))::numeric(10,2) END
           FROM accounts_dep.smena s
          WHERE s.w_id = f.id_p
            AND s.data >= make_date(f.i_year, f.i_mnth, 1)
            AND s.data < make_date(f.i_year, f.i_mnth, 1) + interval '1 month'), 0)
 WHERE f.id_o = 7778;

-- ---------------------------------------------------------------------------
-- Monthly time sheets, as the roll-ups leave them: a piece-work row per
-- worker, shift and month with the day's hours from the shift records, and a
-- household row (smena 0) per worker, kind, night flag and month.
-- ---------------------------------------------------------------------------
DO $$
DECLARE
  cols text;
  piece text;
  household text;
BEGIN
  SELECT string_agg(format('d%s', n), ', ' ORDER BY n),
         string_agg(format('sum(time) FILTER (WHERE extract(day FROM data) = %s)', n), ', ' ORDER BY n),
         string_agg(format('sum(cnt) FILTER (WHERE extract(day FROM d_date) = %s)', n), ', ' ORDER BY n)
    INTO cols, piece, household
    FROM generate_series(1, 31) AS n;

  EXECUTE format(
    'INSERT INTO accounts_dep.h_tabel (w_id, smena, month, year, %s)
     SELECT w_id, smena, extract(month FROM data), extract(year FROM data), %s
       FROM accounts_dep.smena
      GROUP BY w_id, smena, extract(month FROM data), extract(year FROM data)
      ORDER BY 4, 3, 2, 1', cols, piece);

  EXECUTE format(
    'INSERT INTO accounts_dep.h_tabel (i_type, w_id, i_night, month, year, %s)
     SELECT id_o, id_p, i_night, i_mnth, i_year, %s
       FROM accounts_dep.fatigue
      GROUP BY id_o, id_p, i_night, i_mnth, i_year
      ORDER BY 5, 4, 1, 2, 3', cols, household);
END
$$;

DROP TABLE demo_rec, demo_op, demo_plan, demo_worker, demo_day, demo_kind;

COMMIT;

-- A few operation prices whose norms have been removed again: they stay in the
-- price list window but cannot be entered into a shift.  This runs after the
-- commit above because a new operation price gets a first norm at commit.
DELETE FROM accounts_dep.norm
 WHERE o_id IN (SELECT id FROM accounts_dep.oper WHERE id % 19 = 0 AND vid NOT IN (7777, 7778));
