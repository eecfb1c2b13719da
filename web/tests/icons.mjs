// Draws the site's PNG icons from web/site/icon.svg in the system's
// headless Chromium: node icons.mjs (from web/tests, after npm ci). The
// PNGs are kept in the repository, so the build needs no drawing tools.

import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch } from './browser.mjs';

const site = join(dirname(fileURLToPath(import.meta.url)), '..', 'site');
const svg = readFileSync(join(site, 'icon.svg'), 'utf8');
const browser = await launch('chromium');
try {
  for (const size of [192, 512]) {
    const page = await browser.newPage();
    await page.setViewport({ width: size, height: size });
    await page.setContent('<body style="margin:0">' +
      svg.replace('<svg ', `<svg width="${size}" height="${size}" `) + '</body>');
    await page.screenshot({ path: join(site, `icon-${size}.png`), omitBackground: true });
    await page.close();
  }
} finally {
  await browser.close();
}
