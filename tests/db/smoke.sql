-- Smoke test of db/schema.sql: the writes the client sends through the views
-- and the defaults it relies on.  Run against a fresh copy of the template:
--   psql -v ON_ERROR_STOP=1 -d <copy of tabel_template> -f tests/db/smoke.sql
-- Any failed check raises and stops psql with a non-zero exit code.  Rows are
-- rolled back at the end; the sequence positions are restored.

\set QUIET on
BEGIN;

CREATE FUNCTION pg_temp.check(ok boolean, what text) RETURNS void LANGUAGE plpgsql AS $$
BEGIN
  IF ok IS NOT TRUE THEN
    RAISE EXCEPTION 'smoke check failed: %', what;
  END IF;
END
$$;

-- Workers book: insert, change and delete through accounts_dep.person, with
-- the texts exactly as the dialog builds them.
INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES('Тестов Т.Т.', 'Сварочный участок');
INSERT INTO cmn_contractor.person (s_caption, s_code) VALUES ('Старый С.С.', '900');
INSERT INTO cmn_contractor.person (s_caption) VALUES ('Прямой П.П.');

DO $$
DECLARE
  w cmn_contractor.person;
BEGIN
  SELECT * INTO w FROM cmn_contractor.person WHERE s_caption = 'Тестов Т.Т.';
  PERFORM pg_temp.check(w.id IS NOT NULL, 'insert through the worker view creates a person');
  PERFORM pg_temp.check(w.s_code = w.id::text, 'a person added through the view gets its id as code');
  PERFORM pg_temp.check(w.s_staffpos_hl = 'Сварочный участок', 'the descriptive text is stored');
  PERFORM pg_temp.check((SELECT s_code = id::text FROM cmn_contractor.person WHERE s_caption = 'Прямой П.П.'),
                        'a person inserted directly gets its id as code');
  PERFORM pg_temp.check((SELECT s_code = '900' FROM cmn_contractor.person WHERE s_caption = 'Старый С.С.'),
                        'an explicit code is kept');

  EXECUTE 'UPDATE accounts_dep.person SET fio=''Тестов Т.А.'', s_staffpos_hl=''Малярный участок'' where accounts_dep.person.id=' || w.id;
  PERFORM pg_temp.check((SELECT s_caption = 'Тестов Т.А.' AND s_staffpos_hl = 'Малярный участок'
                           FROM cmn_contractor.person WHERE id = w.id),
                        'update through the worker view reaches the person');
  PERFORM pg_temp.check((SELECT fio = 'Тестов Т.А.' FROM accounts_dep.person WHERE id = w.id),
                        'the view shows the changed name');

  EXECUTE 'delete from accounts_dep.person where id =' || w.id;
  PERFORM pg_temp.check(NOT EXISTS (SELECT 1 FROM cmn_contractor.person WHERE id = w.id),
                        'delete through the worker view removes the person');
END
$$;

-- Nomenclature groups and products, written the way their books write them.
INSERT INTO cmn_classifier.item(s_caption, b_excluded) VALUES('Тестовая группа', 0);
INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item)
  SELECT 'ТСТ-1', '', 6, 2.5, id FROM cmn_classifier.item WHERE s_caption = 'Тестовая группа';

DO $$
BEGIN
  PERFORM pg_temp.check((SELECT id_level = 2 AND b_excluded = 0 FROM cmn_classifier.item
                          WHERE s_caption = 'Тестовая группа'),
                        'a new classifier item is a level-2 nomenclature group');
  PERFORM pg_temp.check((SELECT nom = 'Тестовая группа' AND massa = 2.5 AND id_nom = id_class_item
                           FROM accounts_dep.izdel WHERE marka = 'ТСТ-1'),
                        'the products view shows the group caption and id');
END
$$;

-- Generated keys step over the reserved ids 7777 and 7778.
DO $$
DECLARE
  seq text;
  pos bigint;
  got bigint;
BEGIN
  FOREACH seq IN ARRAY ARRAY['accounts_dep.vid_oper_id_seq', 'accounts_dep.oper_id_seq',
                             'cmn_gds_and_srv.gds_and_srv_id_seq'] LOOP
    EXECUTE format('SELECT last_value FROM %s', seq) INTO pos;
    PERFORM setval(seq, 7776);
    IF seq = 'accounts_dep.vid_oper_id_seq' THEN
      INSERT INTO accounts_dep.vid_oper (vid) VALUES ('Тест') RETURNING id INTO got;
    ELSIF seq = 'accounts_dep.oper_id_seq' THEN
      INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new) VALUES (1, 0, 1, 0) RETURNING id INTO got;
    ELSE
      INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption) VALUES ('Тест') RETURNING id INTO got;
    END IF;
    PERFORM setval(seq, pos);
    PERFORM pg_temp.check(got = 7779, format('%s skips the reserved ids (got %s)', seq, got));
  END LOOP;
END
$$;

-- Special kinds: the household entry finds one hourly price per kind; the
-- piece-work price list never offers them.
DO $$
BEGIN
  PERFORM pg_temp.check((SELECT count(*) = 2 AND count(DISTINCT vo.id) = 2 AND min(n.price) > 0
                           FROM accounts_dep.vid_oper vo, accounts_dep.norm n, accounts_dep.oper o
                          WHERE n.o_id = o.id AND o.vid = vo.id AND (vo.id = 7777 OR vo.id = 7778)),
                        'each special kind has one operation with an hourly norm');
  PERFORM pg_temp.check(EXISTS (SELECT 1 FROM accounts_dep.oper o WHERE o.i_id >= 7777 AND o.vid >= 7777),
                        'the household register finds a special operation');
  PERFORM pg_temp.check(NOT EXISTS (SELECT 1 FROM accounts_dep.oper o JOIN accounts_dep.izdel i ON o.i_id = i.id
                                     WHERE o.vid IN (7777, 7778)),
                        'special operations are not attached to a product');
  PERFORM pg_temp.check((SELECT count(*) = 1 AND min(delim) = '.' FROM accounts_dep.ver),
                        'one build-stamp row with a point as separator');
END
$$;

-- Time sheet defaults, and dates written day first.
INSERT INTO accounts_dep.h_tabel(i_type, w_id, month, year, d5, i_night) VALUES(7777, 1, 3, 2024, 8, 1);
INSERT INTO accounts_dep.h_tabel(w_id, month, year, d6) VALUES(1, 3, 2024, 4);

DO $$
BEGIN
  PERFORM pg_temp.check((SELECT smena = 0 FROM accounts_dep.h_tabel WHERE d5 = 8),
                        'a household time-sheet row defaults to smena 0');
  PERFORM pg_temp.check((SELECT smena = 0 AND i_type = 0 AND i_night = 0 FROM accounts_dep.h_tabel WHERE d6 = 4),
                        'time-sheet row defaults are 0');
  PERFORM pg_temp.check('01.3.2024'::date = DATE '2024-03-01', 'date literals are read day first');
END
$$;

-- Shift log: a record is shown under its worker whether it holds the person's
-- id or (older records) the person's code.
INSERT INTO accounts_dep.vid_oper (vid) VALUES ('Сварка');
INSERT INTO cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, massa, id_class_item)
  VALUES ('ТСТ-2', '', 6, 1, NULL);
INSERT INTO accounts_dep.oper (vid, naimen, i_id, cena_new)
  SELECT v.id, 0, g.id, 0 FROM accounts_dep.vid_oper v, cmn_gds_and_srv.gds_and_srv g
   WHERE v.vid = 'Сварка' AND g.s_caption = 'ТСТ-2';
INSERT INTO accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod, ok,
                                prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
  SELECT w.w_id, o.i_id, o.id, 2.5, 10, 1, '05.03.2024', 1, 0, 8, '05.03.2024', 'no', 0, 0, 0, 0, 0, 0
    FROM accounts_dep.oper o,
         (SELECT id AS w_id FROM cmn_contractor.person WHERE s_caption = 'Прямой П.П.'
          UNION ALL SELECT 900) AS w
   WHERE o.i_id = (SELECT id FROM cmn_gds_and_srv.gds_and_srv WHERE s_caption = 'ТСТ-2');

DO $$
DECLARE
  names text;
BEGIN
  SELECT string_agg(fio || ':' || summa, ',' ORDER BY fio) INTO names FROM (
    select smena.id, person.s_caption fio, izdel.marka, vid_oper.vid, round((kol_vo-brak)*smena.cena::numeric, 2) as summa, color, time, smena.ok
      from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper
     where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and oper.vid=vid_oper.id
       and smena.smena=1 and smena.data='05.03.2024' and ok!='ta'
     order by fio, izdel.marka, vid_oper.vid, oper.naimen, color) AS log;
  PERFORM pg_temp.check(names = 'Прямой П.П.:22.50,Старый С.С.:22.50',
                        format('shift log matches workers by id and by code (got %s)', names));
END
$$;

ROLLBACK;
\echo 'smoke: all checks passed'
