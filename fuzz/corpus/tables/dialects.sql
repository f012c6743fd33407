INSERT INTO t VALUES (q'[it's]');
CREATE TABLE Alpha (a int);
INSERT INTO t VALUES (Q'{don't}');
CREATE TABLE Beta (a int);
INSERT INTO t VALUES (q'!won't!');
CREATE TABLE Gamma (a int);
CREATE TABLE Delta (a int[], b text CHECK (b ~ '^[a-z'));
CREATE TABLE Epsilon (a int);
SELECT ARRAY[1,2][1:1];
CREATE TABLE Zeta (a int);
/* a /* nested */ still comment */
CREATE TABLE Eta (a int);
CREATE TABLE Theta (x varchar(5) DEFAULT 'a''b\'); CREATE TABLE Iota (y int);
-- MySQL dump
INSERT INTO x VALUES ('O\'Brien', 'C:\\', "say \"hi\"");
CREATE TABLE `Alpha` (a int);
/* comment with 'quote */
CREATE TABLE Beta (b varchar(10) DEFAULT 'it''s');
INSERT INTO y VALUES (E'it\'s', $$ don't $$, $fn$ it's $fn$);
CREATE TABLE IF NOT EXISTS "Gamma" (c int);
CREATE TABLE #Delta (d int);
CREATE TABLE [dbo].[Epsilon] (e int);
GO
CREATE TABLE public.Zeta(z int);
# a mysql comment with a 'quote
CREATE TEMPORARY TABLE Eta (x text default '\\');
INSERT INTO z VALUES ('\'', '''');
CREATE OR REPLACE TABLE Theta (x int);
CREATE UNLOGGED TABLE Iota (x int);
INSERT INTO w VALUES ('a\\'); CREATE TABLE Kappa (x int);
CREATE TABLE Lambda (x text DEFAULT 'C:\'); CREATE TABLE Mu (x int);
CREATE FUNCTION f() RETURNS int AS $body$ SELECT 'x'; $body$ LANGUAGE sql; CREATE TABLE Nu(x int);
CREATE TABLE "Xi""x" (x int);
