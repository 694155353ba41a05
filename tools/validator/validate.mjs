#!/usr/bin/env node
// Validates glTF files with the Khronos glTF validator and prints one line per file:
//   FILE: N errors, N warnings
// followed by one line per error. Exits 1 when any file has an error (or cannot be read), 2 on
// bad usage, 0 otherwise. External buffers and images are loaded from beside the file.
import fs from 'node:fs';
import path from 'node:path';
import validator from 'gltf-validator';

const files = process.argv.slice(2);
if (files.length === 0) {
    console.error('usage: validate.mjs FILE...');
    process.exit(2);
}

let failed = false;
for (const file of files) {
    let bytes;
    try {
        bytes = fs.readFileSync(file);
    } catch (error) {
        console.log(`${file}: cannot read: ${error.message}`);
        failed = true;
        continue;
    }
    const folder = path.dirname(path.resolve(file));
    try {
        const report = await validator.validateBytes(new Uint8Array(bytes), {
            uri: path.basename(file),
            maxIssues: 0,
            externalResourceFunction: (uri) =>
                fs.promises.readFile(path.resolve(folder, decodeURIComponent(uri))),
        });
        const issues = report.issues;
        console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings`);
        for (const message of issues.messages) {
            if (message.severity === 0) {
                console.log(`  error ${message.code} at ${message.pointer ?? ''}: ${message.message}`);
            }
        }
        if (issues.numErrors > 0) failed = true;
    } catch (error) {
        console.log(`${file}: the validator could not read it: ${error}`);
        failed = true;
    }
}
process.exit(failed ? 1 : 0);
