// The page's orientation arithmetic, without a browser: a click on the phone
// as it is held lands on the portrait point the phone's steps speak of, and
// the turn controls go round in quarters.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { toScreen, turned, interfaceBox } from '../../web/orientation.js';

const near = (actual, expected) => assert.deepEqual({ x: Math.round(actual.x) + 0, y: Math.round(actual.y) + 0 }, expected);

test('a click on the turned screen maps back to the portrait screen, at any scale', () => {
    const upright = { left: 100, top: 50, width: 320, height: 480 };
    near(toScreen(upright, 1, 100, 50), { x: 0, y: 0 });
    near(toScreen(upright, 1, 420, 530), { x: 320, y: 480 });
    // Upside down: the page's top left is the phone's bottom right.
    near(toScreen(upright, 2, 100, 50), { x: 320, y: 480 });
    // Landscape, home button right (turned a quarter to the left): the
    // portrait top left is at the page's bottom left.
    const sideways = { left: 0, top: 0, width: 480, height: 320 };
    near(toScreen(sideways, 3, 0, 320), { x: 0, y: 0 });
    near(toScreen(sideways, 3, 480, 0), { x: 320, y: 480 });
    near(toScreen(sideways, 4, 480, 0), { x: 0, y: 0 });
    // Drawn at half size, the same points.
    near(toScreen({ left: 0, top: 0, width: 240, height: 160 }, 3, 0, 160), { x: 0, y: 0 });
    // An orientation the phone does not report is taken as portrait.
    near(toScreen(upright, 0, 100, 50), { x: 0, y: 0 });
});

test('turning goes round in quarters, and left undoes right', () => {
    for (const start of [1, 2, 3, 4]) {
        let orientation = start;
        for (let i = 0; i < 4; ++i) orientation = turned(orientation, 'left');
        assert.equal(orientation, start);
        assert.equal(turned(turned(start, 'right'), 'left'), start);
    }
    assert.equal(turned(1, 'left'), 3);
});

test('the keyboard strip is drawn along the side that is the interface bottom', () => {
    assert.deepEqual(interfaceBox([0, 264, 320, 216], 1), { left: 0, top: 264, width: 320, height: 216, angle: 0 });
    // Landscape: a 162-point strip along the side, drawn unturned and turned.
    const box = interfaceBox([0, 0, 162, 480], 3);
    assert.equal(box.width, 480);
    assert.equal(box.height, 162);
    assert.equal(box.left + box.width / 2, 81);
    assert.equal(box.top + box.height / 2, 240);
    assert.equal(box.angle, Math.PI / 2);
});
