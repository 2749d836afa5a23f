// The page's layout rules (web/layout.mjs) on small descriptions, with
// Node's own test runner: no browser, no WebAssembly.

import assert from 'node:assert/strict';
import test from 'node:test';

import {accessKeyParts, arrange} from '../../web/layout.mjs';

let next = 0;
const control = (kind, x, y, width, height, more = {}) =>
    ({index: next++, id: 100 + next, kind, x, y, width, height, shown: kind, ...more});

// The tree with each control by its index, for comparing.
const shape = (rows) => rows.map((row) => ({
    indent: row.indent,
    clusters: row.clusters.map((cluster) => ({
        grows: cluster.grows,
        items: cluster.items.map(function item(i) {
            if (i.control) return i.control.index;
            if (i.group) return {group: i.group.index, rows: shape(i.rows)};
            return {column: i.column.map(item), radioGroup: i.radioGroup};
        }),
    })),
}));

test('controls on one line form a row; a box stays with its label, a button starts a cluster', () => {
    next = 0;
    const controls = [
        control('label', 7, 9, 40, 8), // 0
        control('text', 50, 7, 150, 12), // 1: wide, grows
        control('button', 205, 7, 50, 14), // 2
        control('label', 7, 30, 40, 8), // 3: the next line
        control('label', 50, 30, 60, 8, {shown: ''}), // 4: a value
    ];
    assert.deepEqual(shape(arrange(controls)), [
        {indent: 0, clusters: [{grows: true, items: [0, 1]}, {grows: false, items: [2]}]},
        {indent: 0, clusters: [{grows: false, items: [3, 4]}]},
    ]);
});

test('a group box holds what lies inside it, with its own rows and indents', () => {
    next = 0;
    const controls = [
        control('group', 5, 5, 200, 60), // 0
        control('check', 10, 15, 80, 10), // 1
        control('list', 25, 30, 80, 12), // 2: indented under the check box
        control('button', 10, 80, 50, 14), // 3: outside the group
    ];
    assert.deepEqual(shape(arrange(controls)), [
        {indent: 0, clusters: [{grows: true, items: [{group: 0, rows: [
            {indent: 0, clusters: [{grows: false, items: [1]}]},
            {indent: 15, clusters: [{grows: false, items: [2]}]},
        ]}]}]},
        {indent: 5, clusters: [{grows: false, items: [3]}]},
    ]);
});

test('radio buttons above one another are a column; one pair is a radio group', () => {
    next = 0;
    const controls = [
        control('radio', 10, 10, 30, 8, {radioGroup: 0}), // 0
        control('radio', 10, 22, 30, 8, {radioGroup: 0}), // 1
        control('radio', 50, 10, 40, 8, {radioGroup: 2}), // 2
        control('radio', 50, 22, 40, 8, {radioGroup: 2}), // 3
        control('label', 100, 10, 30, 8), // 4
        control('check', 100, 22, 30, 8), // 5
        control('text', 140, 8, 30, 24), // 6: tall enough to make one line of the two
    ];
    assert.deepEqual(shape(arrange(controls)), [{indent: 0, clusters: [
        {grows: false, items: [{column: [0, 1], radioGroup: 0}]},
        {grows: false, items: [{column: [2, 3], radioGroup: 2}]},
        {grows: false, items: [{column: [4, 5], radioGroup: null}, 6]},
    ]}]);
});

test('the order follows the rectangles, not the order of the description', () => {
    next = 0;
    const late = control('button', 100, 50, 40, 14);
    const early = control('button', 10, 50, 40, 14);
    const top = control('button', 60, 5, 40, 14);
    const [first, second] = arrange([late, early, top]);
    assert.deepEqual([first.clusters[0].items[0].control, second.clusters.map((c) => c.items[0].control)],
        [top, [early, late]]);
});

test('an access key is the letter after the one single ampersand', () => {
    assert.deepEqual(accessKeyParts('B&rowse...'), {before: 'B', key: 'r', after: 'owse...'});
    assert.deepEqual(accessKeyParts('Year && &Season'), {before: 'Year & ', key: 'S', after: 'eason'});
    assert.deepEqual(accessKeyParts('&Обзор...'), {before: '', key: 'О', after: 'бзор...'});
    assert.equal(accessKeyParts('Fish && Chips'), null);
    assert.equal(accessKeyParts('Trailing&'), null);
});
