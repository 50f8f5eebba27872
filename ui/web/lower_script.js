// Rewrites the page's script for the oldest browsers it is meant for:
//
//   node lower_script.js IN OUT
//
// Emscripten's runtime uses the logical assignments of ECMAScript 2021
// (a ??= b, a ||= b, a &&= b; emscripten 3.1.69 does), which Firefox 78 and
// Safari 14.0 cannot parse. Emscripten would pass its output through babel
// for such browsers, but Debian's emscripten has no babel. Each one becomes
// a ?? (a = b) (and so on), which does the same as long as reading `a`
// twice has no effect of its own: `a` must be a name or a chain of plain
// property reads. Anything else, or anything newer than ECMAScript 2020
// left afterwards, fails with its place in the script.
'use strict';

const fs = require('fs');
const acorn = require('acorn');
const walk = require('acorn-walk');

const LOWERED = {'??=': '??', '||=': '||', '&&=': '&&'};

// Whether evaluating the expression twice is the same as once.
function plainReference(node) {
  if (node.type === 'Identifier') return true;
  if (node.type !== 'MemberExpression' || node.optional) return false;
  const key = node.property;
  return plainReference(node.object) &&
         (!node.computed || key.type === 'Literal' || key.type === 'Identifier');
}

function place(source, offset) {
  const before = source.slice(0, offset).split('\n');
  return `line ${before.length}, column ${before[before.length - 1].length + 1}`;
}

function lower(source) {
  // One assignment at a time, the last in the text first, parsing afresh
  // each time: an assignment nested in another's right side is rewritten
  // before the one around it, and no offset goes stale.
  for (;;) {
    let last = null;
    walk.full(acorn.parse(source, {ecmaVersion: 'latest', sourceType: 'script'}), (node) => {
      if (node.type === 'AssignmentExpression' && LOWERED[node.operator] && (!last || node.start > last.start)) {
        last = node;
      }
    });
    if (!last) break;
    if (!plainReference(last.left)) {
      throw new Error(`cannot rewrite ${last.operator} at ${place(source, last.start)}: ` +
                      source.slice(last.start, Math.min(last.end, last.start + 80)));
    }
    const target = source.slice(last.left.start, last.left.end);
    // A comma expression on the right keeps its parentheses, which the
    // node's range leaves out; anything else may stand after `=` as it is.
    let value = source.slice(last.right.start, last.right.end);
    if (last.right.type === 'SequenceExpression') value = `(${value})`;
    source = source.slice(0, last.start) + `${target} ${LOWERED[last.operator]} (${target} = ${value})` +
             source.slice(last.end);
  }
  try {
    acorn.parse(source, {ecmaVersion: 2020, sourceType: 'script'});
  } catch (error) {
    throw new Error(`the script is still newer than ECMAScript 2020: ${error.message}: ` +
                    source.slice(Math.max(0, error.pos - 40), error.pos + 40));
  }
  return source;
}

if (require.main === module) {
  const [input, output] = process.argv.slice(2);
  if (!input || !output) {
    console.error('usage: node lower_script.js IN OUT');
    process.exit(2);
  }
  try {
    fs.writeFileSync(output, lower(fs.readFileSync(input, 'utf8')));
  } catch (error) {
    console.error(`lower_script.js: ${input}: ${error.message}`);
    process.exit(1);
  }
}

module.exports = {lower};
