using Server;
namespace Server.Items
{
	class Helper { public static int Pick() { return 3; } }

	public class ShrineAddon : BaseAddon
	{
		public override BaseAddonDeed Deed { get { return null; } }
		[Constructable]
		public ShrineAddon()
		{
			AddComponent(new AddonComponent(0x1F13), 0, 0, 0);
			AddComponent( new AddonComponent( 7955 ),-1,-1,  -3 );
			this.AddComponent(new AddonComponent(0x1F14), 2 - 1, (2 * 3), 5);
			AddonComponent ac = new AddonComponent(0x0A0F);
			ac.Hue = 0x21;
			AddComponent(ac, 1, 0, 10);
			ac = new AddonComponent(0x0A10);
			ac.Light = LightType.Circle300;
			AddComponent(ac, 0, 1, 10);
			int itemID = 0x2000;
			AddComponent(new AddonComponent(itemID++), 3, 3, 0);
			AddComponent(new AddonComponent(0x2001), Utility.Random(3), 0, 0);
			for (int x = 0; x < 3; x++)
				AddComponent(new AddonComponent(0x2002), x, 0, 0);
			AddComponent(new AddonComponent(0x2003), Helper.Pick() + 1, 0, 0);
			if (Utility.RandomBool())
				AddComponent(new AddonComponent(0x2004), 0, 0, 0);
			ac = new AddonComponent(0x0A11);
			AddComponent(ac, 2, 2, 0);
			ac.Hue = 5;
		}
	}

	public class PlanterAddon : BaseAddon
	{
		public PlanterAddon() { AddComponent(new AddonComponent(0x4B2), 0, 0, 0); }
	}
}
