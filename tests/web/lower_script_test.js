// The rewrite of the page's script for old browsers (ui/web/lower_script.js):
// the rewritten logical assignments do what the originals do, in Node,
// which runs both; what cannot be rewritten safely fails the build.
//
//   NODE_PATH=/usr/share/nodejs node lower_script_test.js
'use strict';

const assert = require('assert');
const path = require('path');
const {lower} = require(path.join(__dirname, '..', '..', 'ui', 'web', 'lower_script.js'));

let checks = 0;

// A function body as a script that runs it.
function script(body) {
  return `(function () {\n${body}\n})()`;
}

// Runs a script and returns its value.
function run(source) {
  return (0, eval)(source);  // eslint-disable-line no-eval
}

// Every operator on every kind of starting value, on a name and on
// property reads: the result, the value left behind and whether the right
// side ran all match.
const starts = ['undefined', 'null', '0', '""', 'false', '1', '"x"', '({})'];
for (const operator of ['??=', '||=', '&&=']) {
  for (const start of starts) {
    for (const target of ['a', 'o.p', 'o["p"]', 'o[k]', 'o.q.p']) {
      const body = `var ran = 0, k = "p", a = ${start}, o = {p: ${start}, q: {p: ${start}}};
        var result = ${target} ${operator} (ran++, 7);
        return JSON.stringify([result, ${target}, ran]);`;
      const lowered = lower(script(body));
      assert.ok(!lowered.includes(operator), lowered);
      assert.strictEqual(run(lowered), run(script(body)), `${target} ${operator} on ${start}`);
      checks++;
    }
  }
}

// Nested assignments, as an argument and in an arrow function's body.
for (const body of [
  'var a = null, b; var r = (a ??= b ??= 3); return JSON.stringify([r, a, b]);',
  'var a = 0, b = 2; var r = (a ||= b &&= 5); return JSON.stringify([r, a, b]);',
  'var o = {}; var f = (x) => o.v ??= x; return JSON.stringify([f(1), f(2), o.v, Math.max(o.w ||= 4, 0)]);',
  'var a; return String(typeof a !== "undefined" ? a : a ??= "set") + a;',
]) {
  assert.strictEqual(run(lower(script(body))), run(script(body)), body);
  checks++;
}

// Text without the operators comes back as it was.
const plain = 'var x = a ?? b; x ||\n y; // ??= in a comment\nvar s = "a ||= b";';
assert.strictEqual(lower(plain), plain);
checks++;

// A target that reading twice could change is refused, with its place.
for (const body of ['f().x ??= 1;', 'o[i++] ||= 1;', 'o.q[g()] &&= 1;']) {
  assert.throws(() => lower('var z = 1;\n' + body), /cannot rewrite .* at line 2, column 1/, body);
  checks++;
}

// Syntax newer still, which is not rewritten, fails.
assert.throws(() => lower('class A { x = 1; }'), /still newer than ECMAScript 2020/);
checks++;

console.log(`lower_script: ${checks} checks passed`);
