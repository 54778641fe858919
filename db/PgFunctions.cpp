#include "db/PgFunctions.h"

namespace pf {

std::string ServerLikeText(const std::string& value)
{
    return "(lower(" + value + " COLLATE \"und-x-icu\") COLLATE \"C\")";
}

const std::string& ServerHelperSql()
{
    // jet_like_regex turns a Jet pattern (* ? # [a-z] [!a-z]) into an anchored regular expression;
    // an unclosed bracket raises "pf:pattern", which the layer reports as an invalid pattern.
    // Matching compares lower-case text, lowered with Unicode rules, under the binary collation
    // (regular expressions refuse the case-insensitive collation).
    // jetlike is a plain SQL function, which the server writes into the statement that calls it:
    // a LIKE then reads as ServerLikeText(column) ~ regex and can be served by an index on that.
    static const std::string sql = R"SQL(
DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_collation c JOIN pg_namespace n ON n.oid = c.collnamespace
                 WHERE c.collname = 'jetnocase' AND n.nspname = current_schema()) THEN
    CREATE COLLATION jetnocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
  END IF;
  IF NOT EXISTS (SELECT 1 FROM pg_type t JOIN pg_namespace n ON n.oid = t.typnamespace
                 WHERE t.typname = 'jet_boolean' AND n.nspname = current_schema()) THEN
    CREATE DOMAIN jet_boolean AS SMALLINT;
    CREATE DOMAIN jet_byte AS SMALLINT CHECK (VALUE BETWEEN 0 AND 255);
    CREATE DOMAIN jet_date AS DOUBLE PRECISION;
  END IF;
END $$;
CREATE OR REPLACE FUNCTION jetcat(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN a IS NULL AND b IS NULL THEN NULL ELSE COALESCE(a, '') || COALESCE(b, '') END $$;
CREATE OR REPLACE FUNCTION jet_like_regex(p text) RETURNS text LANGUAGE plpgsql IMMUTABLE STRICT AS $$
DECLARE
  r text := '^';
  i int := 1;
  n int := length(p);
  c text;
  j int;
  k int;
  neg boolean;
  extra text;
  accented text := 'àáâãäåçèéêëìíîïñòóôõöùúûüýÿ';
  bases text := 'aaaaaaceeeeiiiinooooouuuuyy';
BEGIN
  WHILE i <= n LOOP
    c := substr(p, i, 1);
    IF c = '*' THEN
      r := r || '.*';
    ELSIF c = '?' THEN
      r := r || '.';
    ELSIF c = '#' THEN
      r := r || '[0-9]';
    ELSIF c = '[' THEN
      j := strpos(substr(p, i + 1), ']');
      IF j = 0 THEN
        RAISE EXCEPTION 'pf:pattern';
      END IF;
      c := substr(p, i + 1, j - 1);
      IF c = '' THEN
        r := r || '\[\]';
      ELSE
        neg := left(c, 1) = '!';
        IF neg THEN
          c := substr(c, 2);
        END IF;
        c := replace(replace(c, '\', '\\'), '^', '\^');
        -- A range takes the accented letters whose base letter lies in it ("[a-c]" takes "ä").
        extra := '';
        IF c ~ '.-.' THEN
          FOR k IN 1 .. length(accented) LOOP
            IF substr(bases, k, 1) ~ ('^[' || c || ']$') THEN
              extra := extra || substr(accented, k, 1);
            END IF;
          END LOOP;
        END IF;
        r := r || '[' || CASE WHEN neg THEN '^' ELSE '' END || c || extra || ']';
      END IF;
      i := i + j;
    ELSE
      r := r || regexp_replace(c, '([.+*?^$(){}|\[\]\\])', '\\\1', 'g');
    END IF;
    i := i + 1;
  END LOOP;
  RETURN r || '$';
END $$;
CREATE OR REPLACE FUNCTION jetlike(v text, p text) RETURNS boolean LANGUAGE sql IMMUTABLE AS
  $$ SELECT )SQL" + ServerLikeText("v") + R"SQL( ~ (jet_like_regex(lower(p COLLATE "und-x-icu")) COLLATE "C") $$;
CREATE OR REPLACE FUNCTION jet_ucase(s text) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT upper(s COLLATE "und-x-icu") $$;
CREATE OR REPLACE FUNCTION jet_lcase(s text) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT lower(s COLLATE "und-x-icu") $$;
CREATE OR REPLACE FUNCTION jet_left(s text, k bigint) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT left(s, GREATEST(k, 0)::int) $$;
CREATE OR REPLACE FUNCTION jet_right(s text, k bigint) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN k <= 0 THEN '' ELSE right(s, k::int) END $$;
CREATE OR REPLACE FUNCTION jet_mid(s text, st bigint) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT substr(s, st::int) $$;
CREATE OR REPLACE FUNCTION jet_mid(s text, st bigint, k bigint) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT substr(s, st::int, GREATEST(k, 0)::int) $$;
CREATE OR REPLACE FUNCTION jet_len(s text) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT length(s)::bigint $$;
CREATE OR REPLACE FUNCTION jet_instr(s text, f text) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT strpos(lower(s COLLATE "und-x-icu"), lower(f COLLATE "und-x-icu"))::bigint $$;
CREATE OR REPLACE FUNCTION jet_instr(st bigint, s text, f text) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT CASE WHEN strpos(lower(substr(s, st::int) COLLATE "und-x-icu"), lower(f COLLATE "und-x-icu")) = 0
             THEN 0 ELSE strpos(lower(substr(s, st::int) COLLATE "und-x-icu"), lower(f COLLATE "und-x-icu")) + st - 1 END $$;
CREATE OR REPLACE FUNCTION jet_val(s text) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT COALESCE(substring(replace(s, ' ', '') from '^[-+]?[0-9]*\.?[0-9]+(?:[eE][-+]?[0-9]+)?')::double precision, 0) $$;
CREATE OR REPLACE FUNCTION jet_cstr(x anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS
  $$ SELECT x::text $$;
CREATE OR REPLACE FUNCTION jet_clng(x double precision) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT round(x::numeric, 0)::bigint $$;
CREATE OR REPLACE FUNCTION jet_cdbl(x double precision) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT x $$;
CREATE OR REPLACE FUNCTION jet_ccur(x double precision) RETURNS numeric LANGUAGE sql IMMUTABLE AS
  $$ SELECT round(x::numeric, 4) $$;
CREATE OR REPLACE FUNCTION jet_int(x double precision) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT floor(x) $$;
CREATE OR REPLACE FUNCTION jet_fix(x double precision) RETURNS double precision LANGUAGE sql IMMUTABLE AS
  $$ SELECT trunc(x) $$;
CREATE OR REPLACE FUNCTION jet_now() RETURNS double precision LANGUAGE sql STABLE AS
  $$ SELECT extract(epoch FROM (localtimestamp - timestamp '1899-12-30'))::double precision / 86400 $$;
CREATE OR REPLACE FUNCTION jet_date() RETURNS double precision LANGUAGE sql STABLE AS
  $$ SELECT (current_date - date '1899-12-30')::double precision $$;
CREATE OR REPLACE FUNCTION jet_year(d double precision) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT extract(year FROM date '1899-12-30' + floor(d)::int)::bigint $$;
CREATE OR REPLACE FUNCTION jet_month(d double precision) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT extract(month FROM date '1899-12-30' + floor(d)::int)::bigint $$;
CREATE OR REPLACE FUNCTION jet_day(d double precision) RETURNS bigint LANGUAGE sql IMMUTABLE AS
  $$ SELECT extract(day FROM date '1899-12-30' + floor(d)::int)::bigint $$;
CREATE OR REPLACE FUNCTION jet_idlist(list text) RETURNS TABLE (value bigint) LANGUAGE sql IMMUTABLE AS
  $$ SELECT e::bigint FROM json_array_elements_text(list::json) AS e $$;
)SQL";
    return sql;
}

} // namespace pf
