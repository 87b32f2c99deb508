#!/usr/bin/env node
// Parses statements with the Oracle PL/SQL grammar and prints one line for each that does not
// parse: its number (from 1, in file order), a tab and the parser's first message.
//   node check-oracle.js FILE           statements as the statement log writes them: each ends
//                                       with a line "/"; comment lines ("-- ...") are dropped
//   node check-oracle.js --script FILE  an install script: each statement ends with ";"
// Exit code 0: every statement parses; 1: some do not; 2: the file cannot be read.
'use strict';
const fs = require('fs');
// The package's index pulls in every dialect and a circular import of antlr4ts; the class
// itself is enough.
const { antlr4tsSQL } = require('antlr4ts-sql/dist/src/antlr4tsSQL');
const { SQLDialect } = require('antlr4ts-sql/dist/src/models/SQLDialect');
const { PredictionMode } = require('antlr4ts/atn/PredictionMode');

function logStatements(text) {
  const statements = [];
  let lines = [];
  for (const line of text.split(/\r?\n/)) {
    if (line.trim() === '/') {
      statements.push(lines.join('\n'));
      lines = [];
    } else if (!line.trimStart().startsWith('--')) {
      lines.push(line);
    }
  }
  if (lines.join('').trim() !== '') statements.push(lines.join('\n'));
  return statements;
}

// A ";" ends a statement only outside quotes and comments.
function scriptStatements(text) {
  const statements = [];
  let current = '';
  let quote = null;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (quote) {
      current += c;
      if (c === quote) quote = null;
    } else if (c === '-' && text[i + 1] === '-') {
      const end = text.indexOf('\n', i);
      i = end < 0 ? text.length : end;
      current += '\n';
    } else if (c === ';') {
      if (current.trim() !== '') statements.push(current.trim());
      current = '';
    } else {
      if (c === "'" || c === '"') quote = c;
      current += c;
    }
  }
  if (current.trim() !== '') statements.push(current.trim());
  return statements;
}

const sql = new antlr4tsSQL(SQLDialect.PLSQL);

// The first syntax error of one statement with the given prediction mode, or null.
function firstError(statement, mode) {
  let error = null;
  // Every unit of the grammar's script may end with ";"; definitions must.
  // The grammar takes TIMEZONE for a keyword, where Oracle reads it as a name (the venue
  // table's column TRG.TimeZone); the same name quoted in upper case is what Oracle reads.
  const text = `${statement.trim().replace(/\bTIMEZONE\b/gi, '"TIMEZONE"')};`;
  const listener = {
    syntaxError(recognizer, symbol, line, column, message) {
      if (error) return;
      // The case-folding input stream gives tokens no text; the statement has it.
      const near =
        symbol && symbol.type !== -1
          ? `"${text.substring(symbol.startIndex, symbol.stopIndex + 1)}"`
          : 'the end';
      // The expected-token sets of this grammar run to thousands of names.
      const brief = message
        .replace(/ expecting .*/s, '')
        .replace(/ at input ''/, '')
        .replace(/'<\d+>'/g, near);
      error = `line ${line}:${column} at ${near}: ${brief}`;
    },
  };
  const tokens = sql.getTokens(text, [listener]);
  const parser = sql.getParser(tokens, [listener]);
  parser.interpreter.setPredictionMode(mode);
  sql.getParseTree(parser);
  if (!error && tokens.LA(1) !== -1) error = 'text left over after the statement';
  return error;
}

// The fast SLL prediction accepts every text the full LL prediction accepts, but may refuse a
// sound one; only a refusal is parsed again, with LL, whose verdict stands.
function parseError(statement) {
  return firstError(statement, PredictionMode.SLL) && firstError(statement, PredictionMode.LL);
}

function main(args) {
  const script = args[0] === '--script';
  const file = script ? args[1] : args[0];
  let text;
  try {
    text = fs.readFileSync(file, 'utf8');
  } catch (e) {
    process.stderr.write(`${e.message}\n`);
    return 2;
  }
  const statements = script ? scriptStatements(text) : logStatements(text);
  let failed = 0;
  statements.forEach((statement, index) => {
    if (statement.trim() === '') return;
    const error = parseError(statement);
    if (error) {
      ++failed;
      process.stdout.write(`${index + 1}\t${error.replace(/\s+/g, ' ')}\n`);
    }
  });
  process.stderr.write(`${statements.length} statements, ${failed} do not parse\n`);
  return failed ? 1 : 0;
}

process.exitCode = main(process.argv.slice(2));
