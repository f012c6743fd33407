-- CREATE TABLE commented_out (id int);
/* CREATE TABLE also_commented (id int); */
CREATE TABLE Order_Item (id int, note varchar(20) DEFAULT 'CREATE TABLE in_a_string');
create table if not exists shop."Purchase_Order" (id int);
CREATE GLOBAL TEMPORARY TABLE [dbo].[Invoice_Line] (id int);
CREATE TABLE `odd``name` (id int);
CREATE VIEW Not_A_Table AS SELECT 1;
CREATE OR REPLACE TABLE s.Customer (x int);
CREATE INDEX ix ON Order_Item (id);
CREATE TABLE "say ""hi""" (x int);
