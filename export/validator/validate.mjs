// Checks glTF files with the Khronos glTF validator and prints, for each, one line with the
// number of errors, warnings, infos and hints, then every error and warning.
// Usage: node validate.mjs FILE.glb|FILE.gltf...   Exit code 1 when any file has an error.
import { readFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import validator from 'gltf-validator';

const files = process.argv.slice(2);
if (files.length === 0) {
  console.error('Usage: node validate.mjs FILE.glb|FILE.gltf...');
  process.exit(2);
}
let failed = false;
for (const file of files) {
  let bytes;
  try {
    bytes = new Uint8Array(await readFile(file));
  } catch (error) {
    console.error(`${file}: ${error.message}`);
    failed = true;
    continue;
  }
  const report = await validator.validateBytes(bytes, {
    uri: file,
    maxIssues: 100,
    externalResourceFunction: (uri) => readFile(join(dirname(file), decodeURIComponent(uri))).then((b) => new Uint8Array(b)),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ` +
              `${issues.numHints} hints`);
  for (const message of issues.messages) {
    if (message.severity <= 1) console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ${message.pointer ?? ''}: ${message.message}`);
  }
  if (issues.numErrors > 0) failed = true;
}
process.exit(failed ? 1 : 0);
