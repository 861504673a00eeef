import QtQuick 2.15

// What a capture page's picture item has painted, grabbed from the scene (grabToImage) and
// measured by the test probe: painted pixels, mean grey and colour, a digest, and where the
// picture lies inside the item.
QtObject {
    property var test

    function grab(item) {
        var stats = null;
        test.verify(item.grabToImage(function(result) { stats = testProbe.pictureStats(result.image) }));
        test.tryVerify(function() { return stats !== null }, 5000, "the picture is grabbed");
        return stats;
    }
    // Grabs until accept(stats) holds (the item paints with the next frame).
    function waitFor(item, accept, message) {
        var stats = null;
        test.tryVerify(function() { stats = grab(item); return accept(stats) }, 10000, message);
        return stats;
    }
    function shown(item) { return waitFor(item, function(s) { return s.painted > 0 }, "a picture is painted") }
    // Fitted: the whole picture inside the box, touching it on two opposite sides.
    function verifyFitted(item) {
        var s = shown(item);
        var r = item.getTempRect();
        var box = { width: item.mWidth, height: item.mHeight };
        test.verify(r.width > 0 && r.width <= box.width && r.height <= box.height,
                    "inside the box " + JSON.stringify(r) + " " + JSON.stringify(box));
        test.verify(Math.abs(r.width - box.width) <= 1 || Math.abs(r.height - box.height) <= 1,
                    "touches the box " + JSON.stringify(r) + " " + JSON.stringify(box));
        // What was painted is that rectangle.
        test.verify(Math.abs(s.right - s.left + 1 - r.width) <= 1 && Math.abs(s.bottom - s.top + 1 - r.height) <= 1,
                    "painted where it says " + JSON.stringify(s) + " " + JSON.stringify(r));
        return s;
    }
    // A slider handle dragged by dx pixels.
    function dragHandle(slider, dx) {
        var handle = slider.handle;
        test.mouseDrag(slider, handle.x + handle.width / 2, handle.y + handle.height / 2, dx, 0);
    }
}
